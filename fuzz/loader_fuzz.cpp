// Feeds arbitrary bytes to both input parsers as a whole file's contents.
//
// Besides running clean under AddressSanitizer and UndefinedBehaviorSanitizer,
// every input must give a well-formed outcome: either a complete table within
// its capacity, or exactly one failure line. And the parse must not depend on
// how the file's text is stored: CR LF line ends read as LF, anything after
// a 0x1A byte is not read, and a byte order mark in front changes nothing. Any broken rule aborts, which the fuzzer
// reports with the input that caused it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "input/loader.h"

using namespace spherebench;

using namespace std::literals;

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "loader_fuzz: %s\n", what);
        std::abort();
    }
}

void check_outcome(const std::optional<std::string>& failure, int count, int capacity) {
    require(count >= 0 && count <= capacity, "record count out of range");
    if (failure) {
        require(!failure->empty() && failure->back() == '\n', "failure is not a line");
        require(failure->find('\n') == failure->size() - 1, "failure spans several lines");
    }
}

// The tables are allocated once per slot and emptied before each parse:
// building 14000 names afresh for every parse would cost most of the time.
struct AirportOutcome {
    std::optional<std::string> failure;
    AirportTable table;
};

struct FlightLineOutcome {
    std::optional<std::string> failure;
    FlightLine table;
};

AirportOutcome& airports(std::string_view bytes, AirportOutcome& outcome) {
    outcome.table.count = 0;
    outcome.failure = parse_airports(bytes, kAirportFileName, outcome.table, nullptr);
    check_outcome(outcome.failure, outcome.table.count, kAirportCapacity);
    for (int i = 0; i < outcome.table.count; ++i) {
        const std::string& name = outcome.table.names[i];
        require(!name.empty(), "stored an empty name");
        require(name.find_first_of("\n\0\x1a"sv) == std::string::npos, "stored a name holding LF, NUL or 0x1A");
    }
    return outcome;
}

FlightLineOutcome& flight_line(std::string_view bytes, FlightLineOutcome& outcome) {
    outcome.table.count = 0;
    outcome.failure = parse_flight_line(bytes, kFlightLineFileName, outcome.table);
    check_outcome(outcome.failure, outcome.table.count, kFlightLineCapacity);
    return outcome;
}

bool same_pairs(const std::vector<CdcPair>& a, const std::vector<CdcPair>& b, int count) {
    for (int i = 0; i < count; ++i)
        if (a[i].first != b[i].first || a[i].second != b[i].second) return false;
    return true;
}

bool same(const AirportOutcome& a, const AirportOutcome& b) {
    if (a.failure != b.failure || a.table.count != b.table.count) return false;
    for (int i = 0; i < a.table.count; ++i)
        if (a.table.names[i] != b.table.names[i]) return false;
    return same_pairs(a.table.cdc, b.table.cdc, a.table.count);
}

bool same(const FlightLineOutcome& a, const FlightLineOutcome& b) {
    return a.failure == b.failure && a.table.count == b.table.count &&
           same_pairs(a.table.cdc, b.table.cdc, a.table.count);
}

// The same text stored with CR LF line ends; only for text that holds no CR
// before a line feed already, which would change its meaning.
std::optional<std::string> with_crlf(std::string_view bytes) {
    if (bytes.find("\r\n") != std::string_view::npos) return std::nullopt;
    std::string text;
    for (char c : bytes) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return text;
}

// The same text followed by an end-of-file byte and junk that is never read.
std::string with_tail(std::string_view bytes) {
    return std::string(bytes) +
           "\x1a"
           "1 2 junk\n\0\n"s +
           std::string(600, 'x');
}

// The same file read from its variants: with bytes after an end-of-file byte,
// with CR LF line ends, with a byte order mark in front; each must give what
// the bytes alone give.
template <typename Outcome, typename Parse>
void check_variants(const char* what, Parse parse, std::string_view bytes, const std::string& tail,
                    const std::optional<std::string>& crlf, const std::string* marked) {
    static Outcome outcome, other;
    parse(bytes, outcome);
    const std::string name = what;
    require(same(outcome, parse(tail, other)), (name + ": bytes after 0x1A changed the result").c_str());
    if (crlf) require(same(outcome, parse(*crlf, other)), (name + ": CR LF read differently from LF").c_str());
    if (marked)
        require(same(outcome, parse(*marked, other)), (name + ": a byte order mark changed the result").c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> crlf = with_crlf(bytes);
    const std::string tail = with_tail(bytes);
    // A second mark in front of one would be read as text.
    const std::string_view mark = "\xEF\xBB\xBF";
    const bool has_mark = bytes.substr(0, mark.size()) == mark;
    const std::string marked = std::string(mark) + std::string(bytes);

    check_variants<AirportOutcome>("airports", airports, bytes, tail, crlf, has_mark ? nullptr : &marked);
    check_variants<FlightLineOutcome>("flight line", flight_line, bytes, tail, crlf, has_mark ? nullptr : &marked);
    return 0;
}
