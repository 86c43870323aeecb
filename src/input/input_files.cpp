#include "input/input_files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/format.h"
#include "geo/cdc_encoder.h"

namespace spherebench {

std::string over_capacity(int capacity, const char* what) {
    return "more than " + std::to_string(capacity) + " " + what + ": the benchmark holds at most " +
           std::to_string(capacity);
}

namespace {

// A list to be written must hold at least one record and fit the table.
std::optional<std::string> check_count(size_t count, int capacity, const char* what) {
    if (count == 0) return std::string("no ") + what;
    if (count > static_cast<size_t>(capacity)) return over_capacity(capacity, what);
    return std::nullopt;
}

std::string line_message(int line, const std::string& text) { return "line " + std::to_string(line) + ": " + text; }

// One CSV record: its fields and the line it starts on.
struct CsvRecord {
    std::vector<std::string> fields;
    int line = 0;
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Splits CSV text into records of fields, skipping blank lines. An unquoted
// field loses the spaces and tabs around it; a quoted one keeps what is
// inside its quotes, and may have spaces and tabs around them. Fails on a
// quote left open or other text after a closing quote.
std::optional<std::string> split_csv(std::string_view text, std::vector<CsvRecord>& records) {
    CsvRecord record{{}, 1};
    std::string field;
    int line = 1;
    bool quoted = false;       // inside a quoted field
    bool after_quote = false;  // a quoted field has just closed
    auto end_field = [&] {
        if (!after_quote) field.erase(field.find_last_not_of(" \t") + 1);
        record.fields.push_back(std::move(field));
        field.clear();
        after_quote = false;
    };
    auto end_record = [&] {
        end_field();
        const bool blank = record.fields.size() == 1 && record.fields[0].empty();
        if (!blank) records.push_back(std::move(record));
        record = {{}, line};
    };
    for (size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        const bool crlf = c == '\r' && at + 1 < text.size() && text[at + 1] == '\n';
        if (quoted) {
            if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') {
                field += '"';
                ++at;
            } else if (c == '"') {
                quoted = false;
                after_quote = true;
            } else {
                if (c == '\n') ++line;
                field += c;
            }
        } else if (c == ',') {
            end_field();
        } else if (c == '\n') {
            ++line;
            end_record();
        } else if (crlf) {
            // the CR of a CR LF line end
        } else if (c == '\r') {
            return line_message(line,
                                "a line ends in CR alone (old Mac line ends): "
                                "save the list with LF or CR LF line ends");
        } else if (is_blank(c) && (after_quote || field.empty())) {
            // around a quoted field, or before an unquoted one
        } else if (after_quote) {
            return line_message(line, "text after a closing quote");
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else {
            field += c;
        }
    }
    if (quoted) return line_message(record.line, "a quoted field is not closed");
    if (!record.fields.empty() || !field.empty() || after_quote) end_record();
    return std::nullopt;
}

bool is_control(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

std::optional<std::string> check_header(const std::vector<std::string>& header_lines) {
    for (const std::string& line : header_lines) {
        if (line.size() > kLongestHeaderLine)
            return "a header line is longer than " + std::to_string(kLongestHeaderLine) + " characters";
        for (char c : line)
            if (c == '\n' || c == '\r' || c == '\x1a') return std::string("a header line holds a line break");
    }
    return std::nullopt;
}

// Where a record's latitude, longitude and name are, as its header names them.
struct Columns {
    size_t latitude = 0;
    size_t longitude = 0;
    size_t name = 0;
};

std::string lower_case_trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    std::string lower(first == std::string_view::npos ? std::string_view() : text.substr(first, last - first + 1));
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// Finds the three columns in the header, in any order, ignoring others.
std::optional<std::string> find_columns(const CsvRecord& header, Columns& columns) {
    struct Wanted {
        const char* what;
        std::vector<std::string> names;
        size_t* index;
        int found = 0;
    };
    Wanted wanted[] = {{"latitude", {"latitude", "latitude_deg", "lat"}, &columns.latitude},
                       {"longitude", {"longitude", "longitude_deg", "lon"}, &columns.longitude},
                       {"name", {"name"}, &columns.name}};
    for (size_t i = 0; i < header.fields.size(); ++i) {
        const std::string name = lower_case_trimmed(header.fields[i]);
        for (Wanted& w : wanted) {
            if (std::find(w.names.begin(), w.names.end(), name) == w.names.end()) continue;
            if (w.found++) return line_message(header.line, std::string("the header has two ") + w.what + " columns");
            *w.index = i;
        }
    }
    std::vector<std::string> missing;
    for (const Wanted& w : wanted)
        if (!w.found) missing.push_back(w.what);
    if (missing.empty()) return std::nullopt;
    std::string list = missing[0];
    for (size_t i = 1; i < missing.size(); ++i) list += (i + 1 == missing.size() ? " or " : ", ") + missing[i];
    return line_message(header.line, "no " + list +
                                         " column: the first line must be a header naming the columns "
                                         "latitude (or latitude_deg, lat), longitude (or longitude_deg, lon) and name");
}

// A refused number as its text was written, or else in its shortest form.
std::string written(double value, std::string_view text) {
    return text.empty() ? shortest_decimal(value) : std::string(text);
}

void append_header(const std::vector<std::string>& header_lines, std::string& file) {
    for (const std::string& line : header_lines) file += "; " + line + "\n";
}

}  // namespace

std::optional<double> parse_number(std::string_view text) {
    const std::string copy(text);
    if (copy.empty() || std::isspace(static_cast<unsigned char>(copy.front()))) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || errno == ERANGE || !std::isfinite(value)) return std::nullopt;
    return value;
}

size_t name_allowance(CdcPair pair) { return kMaxRecordLineLength - airport_line(pair, "").size(); }

std::optional<std::string> check_position(double latitude, double longitude, std::string_view latitude_text,
                                          std::string_view longitude_text) {
    if (!(latitude >= -90.0 && latitude <= 90.0))
        return "latitude " + written(latitude, latitude_text) + " is outside [-90, 90]";
    if (!(longitude >= -180.0 && longitude <= 180.0))
        return "longitude " + written(longitude, longitude_text) + " is outside [-180, 180]";
    return std::nullopt;
}

std::optional<std::string> check_name(CdcPair pair, std::string_view name) {
    if (name.empty()) return std::string("the name is empty");
    if (name.find_first_not_of(" \t") == std::string_view::npos) return std::string("the name is only spaces or tabs");
    for (char c : name) {
        if (c == '\n' || c == '\r') return std::string("the name holds a line break");
        if (is_control(static_cast<unsigned char>(c))) return std::string("the name holds a control character");
    }
    const size_t allowance = name_allowance(pair);
    if (name.size() > allowance)
        return "the name is too long: " + std::to_string(name.size()) + " bytes where this position leaves room for " +
               std::to_string(allowance) + " (a line holds at most " + std::to_string(kMaxRecordLineLength) +
               " bytes, the two numbers and a space after each included)";
    return std::nullopt;
}

std::optional<std::string> check_airport(const AirportSource& airport) {
    if (auto failure = check_position(airport.latitude, airport.longitude)) return failure;
    return check_name(encode_degrees(airport.latitude, airport.longitude), airport.name);
}

std::string airport_line(CdcPair pair, std::string_view name) {
    char words[32];
    std::snprintf(words, sizeof words, "%d %d ", static_cast<int>(pair.first), static_cast<int>(pair.second));
    return std::string(words) + std::string(name);
}

std::optional<std::string> read_airport_list(std::string_view csv, std::vector<AirportSource>& airports) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (csv.substr(0, kByteOrderMark.size()) == kByteOrderMark) csv.remove_prefix(kByteOrderMark.size());
    std::vector<CsvRecord> records;
    if (auto failure = split_csv(csv, records)) return failure;
    Columns columns;
    if (auto failure = find_columns(records.empty() ? CsvRecord{{}, 1} : records[0], columns)) return failure;
    const size_t field_count = records[0].fields.size();
    for (size_t i = 1; i < records.size(); ++i) {
        const CsvRecord& record = records[i];
        if (record.fields.size() != field_count)
            return line_message(record.line, "expected " + std::to_string(field_count) + " fields, as in the header");
        const std::string& latitude_text = record.fields[columns.latitude];
        const std::string& longitude_text = record.fields[columns.longitude];
        const std::optional<double> latitude = parse_number(latitude_text);
        const std::optional<double> longitude = parse_number(longitude_text);
        if (!latitude) return line_message(record.line, "the latitude \"" + latitude_text + "\" is not a number");
        if (!longitude) return line_message(record.line, "the longitude \"" + longitude_text + "\" is not a number");
        if (auto failure = check_position(*latitude, *longitude, latitude_text, longitude_text))
            return line_message(record.line, *failure);
        AirportSource airport{*latitude, *longitude, record.fields[columns.name]};
        if (auto failure = check_name(encode_degrees(*latitude, *longitude), airport.name))
            return line_message(record.line, *failure);
        airports.push_back(std::move(airport));
        if (airports.size() > static_cast<size_t>(kAirportCapacity)) return over_capacity(kAirportCapacity, "airports");
    }
    return std::nullopt;
}

std::optional<std::string> format_airports_file(const std::vector<CdcPair>& pairs,
                                                const std::vector<std::string>& names,
                                                const std::vector<std::string>& header_lines, std::string& file) {
    if (auto failure = check_count(pairs.size(), kAirportCapacity, "airports")) return failure;
    if (auto failure = check_header(header_lines)) return failure;
    for (size_t i = 0; i < pairs.size(); ++i)
        if (auto failure = check_name(pairs[i], names[i])) return "airport " + std::to_string(i + 1) + ": " + *failure;
    file.clear();
    append_header(header_lines, file);
    for (size_t i = 0; i < pairs.size(); ++i) file += airport_line(pairs[i], names[i]) + "\n";
    return std::nullopt;
}

std::optional<std::string> format_airports_file(const std::vector<AirportSource>& airports,
                                                const std::vector<std::string>& header_lines, std::string& file) {
    if (auto failure = check_count(airports.size(), kAirportCapacity, "airports")) return failure;
    std::vector<CdcPair> pairs;
    std::vector<std::string> names;
    for (size_t i = 0; i < airports.size(); ++i) {
        const AirportSource& airport = airports[i];
        if (auto failure = check_position(airport.latitude, airport.longitude))
            return "airport " + std::to_string(i + 1) + ": " + *failure;
        pairs.push_back(encode_degrees(airport.latitude, airport.longitude));
        names.push_back(airport.name);
    }
    return format_airports_file(pairs, names, header_lines, file);
}

std::optional<std::string> format_flight_line_file(const std::vector<CdcPair>& pairs,
                                                   const std::vector<std::string>& header_lines, std::string& file) {
    if (auto failure = check_count(pairs.size(), kFlightLineCapacity, "points")) return failure;
    if (auto failure = check_header(header_lines)) return failure;
    file.clear();
    append_header(header_lines, file);
    char line[32];
    for (const CdcPair& pair : pairs) {
        std::snprintf(line, sizeof line, "%d %d\n", static_cast<int>(pair.first), static_cast<int>(pair.second));
        file += line;
    }
    return std::nullopt;
}

std::optional<std::string> format_flight_line_file(const std::vector<UnitVector>& points,
                                                   const std::vector<std::string>& header_lines, std::string& file) {
    std::vector<CdcPair> pairs;
    for (const UnitVector& point : points) pairs.push_back(encode_cdc(point));
    return format_flight_line_file(pairs, header_lines, file);
}

int index_of_code(const std::vector<AirportSource>& airports, std::string_view code) {
    std::string suffix = "(";
    suffix.append(code).append(")");
    for (size_t i = 0; i < airports.size(); ++i) {
        const std::string& name = airports[i].name;
        if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace spherebench
