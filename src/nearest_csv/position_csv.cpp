#include "nearest_csv/position_csv.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

#include "base/threads.h"
#include "geo/cdc_encoder.h"
#include "input/input_files.h"

namespace spherebench {

namespace {

// A field of a line: its text (inside its quotes, for a quoted one) and
// the column it begins at.
struct Field {
    std::string_view text;
    int column;
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Splits a line (without its line end) into fields; on failure what is
// wrong and, in `column`, where.
std::optional<std::string> split_line(std::string_view line, std::vector<Field>& fields, int& column) {
    fields.clear();
    size_t at = 0;
    for (;;) {
        while (at < line.size() && is_blank(line[at])) ++at;
        const size_t start = at;
        column = static_cast<int>(start) + 1;
        size_t end;
        if (at < line.size() && line[at] == '"') {
            // The closing quote: one not doubled (a quote inside is written
            // twice, and left so in the text: no number holds one).
            size_t close = line.find('"', at + 1);
            while (close != std::string_view::npos && close + 1 < line.size() && line[close + 1] == '"')
                close = line.find('"', close + 2);
            if (close == std::string_view::npos) return "a quoted field is not closed on its line";
            fields.push_back({line.substr(at + 1, close - at - 1), column});
            end = close + 1;
            while (end < line.size() && is_blank(line[end])) ++end;
            if (end < line.size() && line[end] != ',') {
                column = static_cast<int>(end) + 1;
                return "text after a closing quote";
            }
        } else {
            end = std::min(line.find(',', at), line.size());
            size_t last = end;
            while (last > start && is_blank(line[last - 1])) --last;
            fields.push_back({line.substr(start, last - start), column});
        }
        if (end >= line.size()) return std::nullopt;
        at = end + 1;
    }
}

// parse_number's value, first by std::from_chars, which is several times
// faster than strtod: where it reads the whole text as a normal finite
// number, from text strtod reads alike (no sign '+', no hexadecimal),
// both round correctly to the same double. Everything else (zeros,
// subnormals, what it refuses) is parse_number's to judge.
std::optional<double> number_of(std::string_view text) {
    double value = 0.0;
    const bool plain = text.find_first_of("+xX") == std::string_view::npos;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (plain && error == std::errc() && end == text.data() + text.size() && std::isnormal(value)) return value;
    return parse_number(text);
}

std::string lower_case(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The columns of latitude and longitude a header names; on failure why.
std::optional<std::string> find_columns(const std::vector<Field>& header, size_t& latitude, size_t& longitude) {
    const std::vector<std::string> latitudes{"latitude", "latitude_deg", "lat"};
    const std::vector<std::string> longitudes{"longitude", "longitude_deg", "lon", "lng", "long"};
    int found_latitude = 0, found_longitude = 0;
    for (size_t i = 0; i < header.size(); ++i) {
        const std::string name = lower_case(header[i].text);
        if (std::find(latitudes.begin(), latitudes.end(), name) != latitudes.end()) latitude = i, ++found_latitude;
        if (std::find(longitudes.begin(), longitudes.end(), name) != longitudes.end()) longitude = i, ++found_longitude;
    }
    if (found_latitude > 1 || found_longitude > 1) return "the header names two latitude or two longitude columns";
    if (found_latitude && found_longitude) return std::nullopt;
    return "the first line holds neither two numbers nor a header naming a latitude (latitude, latitude_deg or "
           "lat) and a longitude (longitude, longitude_deg, lon, lng or long) column";
}

// Where the latitude and longitude of a row are.
struct Columns {
    size_t latitude = 0, longitude = 1;
};

// A fault at a line of the text a reader was given (from 1) and column.
struct RowFault {
    int line, column;
    std::string what;
};

// Each line of `text` that is not blank as a row, its pair appended to
// `pairs`; the first fault.
std::optional<RowFault> read_rows(std::string_view text, const Columns& columns, std::vector<CdcPair>& pairs) {
    std::vector<Field> fields;
    int line_number = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (std::all_of(line.begin(), line.end(), is_blank)) continue;
        int column = 1;
        if (auto failure = split_line(line, fields, column)) return RowFault{line_number, column, *failure};
        if (fields.size() <= std::max(columns.latitude, columns.longitude))
            return RowFault{line_number, static_cast<int>(line.size()) + 1,
                            std::string("the row ends before its ") +
                                (columns.latitude > columns.longitude ? "latitude" : "longitude")};
        const Field& lat = fields[columns.latitude];
        const Field& lon = fields[columns.longitude];
        const std::optional<double> lat_value = number_of(lat.text), lon_value = number_of(lon.text);
        if (!lat_value)
            return RowFault{line_number, lat.column, "the latitude \"" + std::string(lat.text) + "\" is not a number"};
        if (!lon_value)
            return RowFault{line_number, lon.column, "the longitude \"" + std::string(lon.text) + "\" is not a number"};
        if (auto failure = check_position(*lat_value, 0.0, lat.text))
            return RowFault{line_number, lat.column, *failure};
        if (auto failure = check_position(0.0, *lon_value, {}, lon.text))
            return RowFault{line_number, lon.column, *failure};
        pairs.push_back(encode_degrees(*lat_value, *lon_value));
    }
    return std::nullopt;
}

// The end of the line that holds `at`, past its line feed.
size_t after_line(std::string_view text, size_t at) {
    const size_t end = text.find('\n', at);
    return end == std::string_view::npos ? text.size() : end + 1;
}

}  // namespace

std::optional<std::string> read_position_csv(std::string_view csv, const std::string& name, std::vector<CdcPair>& pairs,
                                             int threads) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (csv.substr(0, kByteOrderMark.size()) == kByteOrderMark) csv.remove_prefix(kByteOrderMark.size());
    pairs.clear();
    const auto fault = [&](int line, int column, const std::string& what) {
        return name + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + what;
    };
    // The first line that is not blank: a header, or the first row.
    int line_number = 0;
    size_t at = 0;
    std::string_view first;
    while (at < csv.size() && first.empty()) {
        const size_t end = after_line(csv, at);
        std::string_view line = csv.substr(at, end - at);
        ++line_number;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
        if (!std::all_of(line.begin(), line.end(), is_blank))
            first = line;
        else
            at = end;
    }
    Columns columns;
    if (!first.empty()) {
        std::vector<Field> fields;
        int column = 1;
        if (auto failure = split_line(first, fields, column)) return fault(line_number, column, *failure);
        const bool numbers = fields.size() >= 2 && parse_number(fields[0].text) && parse_number(fields[1].text);
        if (!numbers) {
            if (auto failure = find_columns(fields, columns.latitude, columns.longitude))
                return fault(line_number, 1, *failure);
            at = after_line(csv, at);
        } else {
            --line_number;  // the first row is read with the others
        }
    }
    // The rows in parts of whole lines, a part a thread, joined in order.
    const std::string_view body = csv.substr(std::min(at, csv.size()));
    const int parts = static_cast<int>(std::min<size_t>(thread_count(threads), body.size() / 4096 + 1));
    std::vector<size_t> starts{0};
    for (int k = 1; k < parts; ++k)
        starts.push_back(std::max(starts.back(), after_line(body, body.size() * k / parts)));
    starts.push_back(body.size());
    std::vector<std::vector<CdcPair>> read(parts);
    std::vector<std::optional<RowFault>> faults(parts);
    std::vector<int> lines(parts);
    run_on_threads(parts, [&](int k) {
        const std::string_view part = body.substr(starts[k], starts[k + 1] - starts[k]);
        faults[k] = read_rows(part, columns, read[k]);
        lines[k] = static_cast<int>(std::count(part.begin(), part.end(), '\n'));
    });
    for (int k = 0; k < parts; ++k) {
        if (faults[k]) return fault(line_number + faults[k]->line, faults[k]->column, faults[k]->what);
        line_number += lines[k];
        pairs.insert(pairs.end(), read[k].begin(), read[k].end());
    }
    return std::nullopt;
}

}  // namespace spherebench
