#include "input/loader.h"

#include <filesystem>
#include <system_error>

#include "base/format.h"

namespace spherebench {

namespace {

// A line as the parser sees it, in text mode and without its line feed.
struct TextLine {
    int64_t number;         // physical line number in the file, from 1
    std::string_view text;  // the line; of a line that is too long, its start
    bool too_long;          // more than kMaxRecordLineLength characters
    bool blank;             // empty or only spaces and tabs
};

// A byte source's value for a read error: below every byte and the end.
constexpr int kReadFailed = -2;

bool is_comment(std::string_view line) { return !line.empty() && (line.front() == ';' || line.front() == '*'); }

bool is_separator(char c) { return c == ' ' || c == '\t'; }

// The bytes that next_byte() returns, less a UTF-8 byte order mark (EF BB BF)
// that opens them: only the whole mark at the very start is dropped; the
// bytes of an incomplete one are handed on as they came.
template <typename NextByte>
auto without_byte_order_mark(NextByte next_byte) {
    struct Reader {
        NextByte next_byte;
        int held[3];
        int held_count = 0;
        int handed = 0;
        int operator()() { return handed < held_count ? held[handed++] : next_byte(); }
    };
    Reader reader{next_byte, {}};
    constexpr int kMark[3] = {0xef, 0xbb, 0xbf};
    while (reader.held_count < 3) {
        const int c = reader.next_byte();
        reader.held[reader.held_count++] = c;
        if (c != kMark[reader.held_count - 1]) return reader;
    }
    reader.held_count = 0;
    return reader;
}

// Splits the bytes that next_byte() returns (a byte, or a negative value at
// the end) into text-mode lines: CR LF reads as LF, a byte 0x1A ends the
// file, a lone CR is an ordinary character; a byte order mark at the start is
// skipped. Calls on_line for each line and stops at the first failure it
// returns. A line is kept only up to one
// character past the length limit, and a record line (not a comment, not
// blank) is handed over as soon as it is known to be too long, so an endless
// line costs neither memory nor time.
template <typename NextByte, typename OnLine>
std::optional<std::string> for_each_line(NextByte next_file_byte, int64_t lines_before, OnLine on_line) {
    auto next_byte = without_byte_order_mark(next_file_byte);
    std::string text;
    text.reserve(kMaxRecordLineLength + 1);
    int64_t number = lines_before;
    bool too_long = false;
    bool blank = true;
    bool handed_over = false;  // the current line went to on_line early
    bool pending_cr = false;   // a CR that is ordinary unless a LF follows

    auto add = [&](char c) {
        if (text.size() <= kMaxRecordLineLength) text += c;
        too_long = text.size() > kMaxRecordLineLength;
        if (!is_separator(c)) blank = false;
    };
    auto hand_over = [&]() { return on_line(TextLine{++number, text, too_long, blank}); };
    auto end_line = [&]() -> std::optional<std::string> {
        if (!handed_over)
            if (auto failure = hand_over()) return failure;
        text.clear();
        too_long = handed_over = false;
        blank = true;
        return std::nullopt;
    };

    int c = next_byte();
    for (; c >= 0 && c != 0x1a; c = next_byte()) {
        if (pending_cr) {
            pending_cr = false;
            if (c == '\n') {
                if (auto failure = end_line()) return failure;
                continue;
            }
            add('\r');
        }
        if (c == '\n') {
            if (auto failure = end_line()) return failure;
        } else if (c == '\r') {
            pending_cr = true;
        } else if (!handed_over) {
            add(static_cast<char>(c));
            if (too_long && !blank && !is_comment(text)) {
                if (auto failure = hand_over()) return failure;
                handed_over = true;
            }
        }
    }
    if (c == kReadFailed) return std::nullopt;  // the caller reports it
    if (pending_cr) add('\r');
    if (!text.empty()) return end_line();  // a last line without a line feed
    return std::nullopt;
}

// The first two number fields of a record line and what follows them.
struct RecordFields {
    int count = 0;  // fields found, at most 2
    CdcPair pair{};
    std::string_view name;  // the text after the character that ended field 2
};

RecordFields split_record(std::string_view line) {
    RecordFields fields;
    int32_t words[2] = {};
    size_t at = 0;
    while (fields.count < 2) {
        while (at < line.size() && is_separator(line[at])) ++at;
        if (at == line.size()) break;
        const size_t start = at;
        while (at < line.size() && !is_separator(line[at])) ++at;
        words[fields.count++] = parse_word(line.substr(start, at - start));
    }
    fields.pair = {words[0], words[1]};
    if (fields.count == 2 && at < line.size()) fields.name = line.substr(at + 1);
    return fields;
}

// The record lines of a file, each checked in order (capacity, length, NUL
// byte, two number fields) and split, then handed to store, which stores the
// record or returns a failure. Comments and blank lines are skipped.
template <typename NextByte, typename Store>
std::optional<std::string> parse_records(NextByte next_byte, const char* file_name, int64_t lines_before,
                                         const int& count, int capacity, const char* overflow_format, Store store) {
    return for_each_line(next_byte, lines_before, [&](const TextLine& line) -> std::optional<std::string> {
        if (is_comment(line.text) || line.blank) return std::nullopt;
        if (count == capacity) return printf_string(overflow_format, capacity);
        const long long number = line.number;
        if (line.too_long) return printf_string("Line %lld of [%s] is too long\n", number, file_name);
        if (line.text.find('\0') != std::string_view::npos)
            return printf_string("Line %lld of [%s] holds a NUL byte\n", number, file_name);
        const RecordFields fields = split_record(line.text);
        if (fields.count < 2)
            return printf_string("Line %lld of [%s] has fewer than two number fields\n", number, file_name);
        return store(fields);
    });
}

template <typename NextByte>
std::optional<std::string> parse_airport_bytes(NextByte next_byte, const char* file_name, AirportTable& table,
                                               std::FILE* diagnostics, int64_t lines_before) {
    return parse_records(next_byte, file_name, lines_before, table.count, kAirportCapacity,
                         "Airport buffer overflow (%d)?\n",
                         [&](const RecordFields& fields) -> std::optional<std::string> {
                             if (fields.name.empty()) return printf_string("Strdup failed at %d\n", table.count);
                             const int index = table.count;
                             table.cdc[index] = fields.pair;
                             table.names[index] = fields.name;
                             table.fixed[index] = cdc_to_fixed(fields.pair);
                             if (index == kDiagnosticAirportIndex && diagnostics)
                                 std::fprintf(diagnostics, "%d %8d %s\n", index, static_cast<int>(fields.name.size()),
                                              table.names[index].c_str());
                             ++table.count;
                             return std::nullopt;
                         });
}

template <typename NextByte>
std::optional<std::string> parse_flight_line_bytes(NextByte next_byte, const char* file_name, FlightLine& flight_line,
                                                   int64_t lines_before) {
    return parse_records(next_byte, file_name, lines_before, flight_line.count, kFlightLineCapacity,
                         "Flightline buffer overflow (%d)?\n", [&](const RecordFields& fields) {
                             flight_line.cdc[flight_line.count] = fields.pair;
                             flight_line.fixed[flight_line.count] = cdc_to_fixed(fields.pair);
                             ++flight_line.count;
                             return std::optional<std::string>();
                         });
}

auto bytes_of(std::string_view bytes) {
    return [bytes, at = size_t{0}]() mutable -> int {
        return at < bytes.size() ? static_cast<unsigned char>(bytes[at++]) : -1;
    };
}

// The bytes of an open file; a read error sets `failed` and ends the bytes.
auto bytes_of(std::FILE* file, bool& failed) {
    return [file, &failed] {
        const int c = std::getc(file);
        if (c != EOF || !std::ferror(file)) return c;
        failed = true;
        return kReadFailed;
    };
}

// A file in the folder, as the messages that need a path name it.
std::string path_in(const std::string& folder, const char* file_name) {
    return folder.empty() ? file_name : (std::filesystem::path(folder) / file_name).string();
}

// Opens a file for reading; a directory counts as a file that cannot be opened.
std::FILE* open_input(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored) ? nullptr : std::fopen(path.c_str(), "rb");
}

// Reads one opened file with `parse`, then closes it; a read error is the
// failure, as the parse stops at it.
template <typename Parse>
std::optional<std::string> read_input(std::FILE* file, const std::string& path, Parse parse) {
    bool failed = false;
    std::optional<std::string> failure = parse(bytes_of(file, failed));
    std::fclose(file);
    if (failed) return printf_string("Can't read file [%s]\n", path.c_str());
    return failure;
}

}  // namespace

int32_t parse_word(std::string_view field) {
    size_t at = 0;
    auto is_space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (at < field.size() && is_space(field[at])) ++at;
    bool negative = false;
    if (at < field.size() && (field[at] == '+' || field[at] == '-')) negative = field[at++] == '-';
    uint32_t value = 0;
    for (; at < field.size() && field[at] >= '0' && field[at] <= '9'; ++at)
        value = value * 10u + static_cast<uint32_t>(field[at] - '0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

std::optional<std::string> parse_airports(std::string_view bytes, const char* file_name, AirportTable& table,
                                          std::FILE* diagnostics, int64_t lines_before) {
    return parse_airport_bytes(bytes_of(bytes), file_name, table, diagnostics, lines_before);
}

std::optional<std::string> parse_flight_line(std::string_view bytes, const char* file_name, FlightLine& flight_line,
                                             int64_t lines_before) {
    return parse_flight_line_bytes(bytes_of(bytes), file_name, flight_line, lines_before);
}

std::optional<std::string> load_inputs(const std::string& folder, Inputs& inputs) {
    const std::string airport_path = path_in(folder, kAirportFileName);
    const std::string flight_line_path = path_in(folder, kFlightLineFileName);
    std::FILE* airport_file = open_input(airport_path);
    if (!airport_file) return printf_string("Can't open file [%s] for reading\n", airport_path.c_str());
    std::FILE* flight_line_file = open_input(flight_line_path);
    if (!flight_line_file) {
        std::fclose(airport_file);
        return printf_string("Can't open file [%s] for reading\n", flight_line_path.c_str());
    }

    std::fprintf(stderr, "Reading %s\n", kAirportFileName);
    if (auto failure = read_input(airport_file, airport_path, [&](auto next_byte) {
            return parse_airport_bytes(next_byte, kAirportFileName, inputs.airports, stderr, 0);
        })) {
        std::fclose(flight_line_file);
        return failure;
    }
    std::fprintf(stderr, "Input airports: %d\n", inputs.airports.count);

    std::fprintf(stderr, "Reading %s\n", kFlightLineFileName);
    if (auto failure = read_input(flight_line_file, flight_line_path, [&](auto next_byte) {
            return parse_flight_line_bytes(next_byte, kFlightLineFileName, inputs.flight_line, 0);
        }))
        return failure;
    std::fprintf(stderr, "Input flightline points: %d\n", inputs.flight_line.count);
    return std::nullopt;
}

}  // namespace spherebench
