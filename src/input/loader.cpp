#include "input/loader.h"

#include <filesystem>
#include <system_error>

#include "input/messages.h"

namespace {

// The text-mode lines of a file's bytes, numbered from 1. Calls
// on_line(number, text) for each, without its line feed; stops early and
// passes on the first failure on_line returns.
template <typename OnLine>
std::optional<std::string> for_each_line(std::string_view bytes, OnLine on_line) {
    const size_t end_of_file = bytes.find('\x1a');
    if (end_of_file != std::string_view::npos) bytes = bytes.substr(0, end_of_file);
    int number = 0;
    while (!bytes.empty()) {
        const size_t line_feed = bytes.find('\n');
        std::string_view line = bytes.substr(0, line_feed);
        if (line_feed == std::string_view::npos) {
            bytes = {};
        } else {
            bytes.remove_prefix(line_feed + 1);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        }
        if (auto failure = on_line(++number, line)) return failure;
    }
    return std::nullopt;
}

bool is_comment(std::string_view line) {
    return !line.empty() && (line.front() == ';' || line.front() == '*');
}

bool is_separator(char c) { return c == ' ' || c == '\t'; }

bool is_blank(std::string_view line) {
    for (char c : line)
        if (!is_separator(c)) return false;
    return true;
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

// The checks every record line meets, in order; the caller has already
// skipped comments and blank lines.
std::optional<std::string> check_record_line(std::string_view line, int number, const char* file_name,
                                             int count, int capacity, const char* overflow_format) {
    if (count == capacity) return printf_string(overflow_format, capacity);
    if (line.size() > kMaxRecordLineLength)
        return printf_string("Line %d of [%s] is too long\n", number, file_name);
    if (line.find('\0') != std::string_view::npos)
        return printf_string("Line %d of [%s] holds a NUL byte\n", number, file_name);
    return std::nullopt;
}

std::optional<std::string> fewer_fields(int number, const char* file_name) {
    return printf_string("Line %d of [%s] has fewer than two number fields\n", number, file_name);
}

FixedLatLong fixed_of(CdcPair pair) { return to_fixed(vector_to_latlong(decode_cdc(pair))); }

// Opens a file for reading; a directory counts as a file that cannot be opened.
std::FILE* open_input(const char* file_name) {
    std::error_code ignored;
    std::FILE* file = std::filesystem::is_directory(file_name, ignored) ? nullptr : std::fopen(file_name, "rb");
    if (!file) fail_with(printf_string("Can't open file [%s] for reading\n", file_name));
    return file;
}

std::string read_all(std::FILE* file, const char* file_name) {
    std::string bytes;
    char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    if (std::ferror(file)) fail_with(printf_string("Can't read file [%s]\n", file_name));
    return bytes;
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

std::optional<std::string> parse_airports(std::string_view bytes, const char* file_name,
                                          AirportTable& table, std::FILE* diagnostics) {
    return for_each_line(bytes, [&](int number, std::string_view line) -> std::optional<std::string> {
        if (is_comment(line) || is_blank(line)) return std::nullopt;
        if (auto failure = check_record_line(line, number, file_name, table.count, kAirportCapacity,
                                             "Airport buffer overflow (%d)?\n"))
            return failure;
        const RecordFields fields = split_record(line);
        if (fields.count < 2) return fewer_fields(number, file_name);
        if (fields.name.empty()) return printf_string("Strdup failed at %d\n", table.count);
        const int index = table.count;
        table.cdc[index] = fields.pair;
        table.names[index] = fields.name;
        table.fixed[index] = fixed_of(fields.pair);
        if (index == kDiagnosticAirportIndex && diagnostics)
            std::fprintf(diagnostics, "%d %8d %s\n", index, static_cast<int>(fields.name.size()),
                         table.names[index].c_str());
        ++table.count;
        return std::nullopt;
    });
}

std::optional<std::string> parse_flight_line(std::string_view bytes, const char* file_name,
                                             FlightLine& flight_line) {
    return for_each_line(bytes, [&](int number, std::string_view line) -> std::optional<std::string> {
        if (is_comment(line) || is_blank(line)) return std::nullopt;
        if (auto failure = check_record_line(line, number, file_name, flight_line.count,
                                             kFlightLineCapacity, "Flightline buffer overflow (%d)?\n"))
            return failure;
        const RecordFields fields = split_record(line);
        if (fields.count < 2) return fewer_fields(number, file_name);
        flight_line.cdc[flight_line.count] = fields.pair;
        flight_line.fixed[flight_line.count] = fixed_of(fields.pair);
        ++flight_line.count;
        return std::nullopt;
    });
}

Inputs load_inputs() {
    Inputs inputs;
    std::FILE* airport_file = open_input(kAirportFileName);
    std::FILE* flight_line_file = open_input(kFlightLineFileName);

    std::fprintf(stderr, "Reading %s\n", kAirportFileName);
    if (auto failure = parse_airports(read_all(airport_file, kAirportFileName), kAirportFileName,
                                      inputs.airports, stderr))
        fail_with(*failure);
    std::fprintf(stderr, "Input airports: %d\n", inputs.airports.count);

    std::fprintf(stderr, "Reading %s\n", kFlightLineFileName);
    if (auto failure = parse_flight_line(read_all(flight_line_file, kFlightLineFileName),
                                         kFlightLineFileName, inputs.flight_line))
        fail_with(*failure);
    std::fprintf(stderr, "Input flightline points: %d\n", inputs.flight_line.count);

    std::fclose(flight_line_file);
    std::fclose(airport_file);
    return inputs;
}
