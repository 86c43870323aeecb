// Writing the benchmark's two input files: airports.ptc from a list of
// airports, flightline.lnc from points along a path. Every check that the
// benchmark's loader relies on is made here, before anything is written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geo/coords.h"
#include "input/loader.h"
#include "input/tables.h"

namespace spherebench {

// The most characters of a header line: its comment line, "; " and the
// text, fits the loader's line limit.
inline constexpr size_t kLongestHeaderLine = kMaxRecordLineLength - 2;

// "more than N airports: the benchmark holds at most N", for a list that
// does not fit the loader's table of `capacity` records.
std::string over_capacity(int capacity, const char* what);

struct AirportSource {
    double latitude;   // degrees, [-90, 90]
    double longitude;  // degrees, [-180, 180]
    std::string name;
};

// Reads a list of airports as CSV: a header line naming the columns, then one
// record per airport with as many fields. Spaces and tabs around a field are
// dropped, except inside its quotes. The header's names, in any case and
// order, pick the latitude (latitude, latitude_deg or lat) and longitude
// (longitude, longitude_deg or lon), in decimal degrees, and the name; other
// columns are ignored. Fields may be double-quoted (a quote inside written
// twice), as they must be when they hold a comma, a quote or a line break;
// CR LF line ends are accepted, a CR alone is refused, blank lines are
// skipped and so is a UTF-8 byte order mark at the start. Every record is
// checked as check_airport does. Returns the first fault found, naming its
// line.
std::optional<std::string> read_airport_list(std::string_view csv, std::vector<AirportSource>& airports);

// Latitude and longitude in range and finite. A refused value is named by
// its text as written when that is given, else in its shortest decimal form.
std::optional<std::string> check_position(double latitude, double longitude, std::string_view latitude_text = {},
                                          std::string_view longitude_text = {});

// The bytes a name may have on the line of this pair: the line's limit,
// kMaxRecordLineLength, less the two numbers and a space after each.
size_t name_allowance(CdcPair pair);

// A name the loader reads back unchanged on the line of this pair: not empty
// nor only spaces and tabs, no control character but tab (a line feed would
// end the line, a 0x1A byte would end the file), and at most
// name_allowance(pair) bytes.
std::optional<std::string> check_name(CdcPair pair, std::string_view name);

// check_position, then check_name on the pair the position is stored as.
std::optional<std::string> check_airport(const AirportSource& airport);

// "first second name": the pair's words in signed decimal, one blank each.
std::string airport_line(CdcPair pair, std::string_view name);

// The whole airports.ptc: comment lines (';') with `header_lines`, then one
// line per airport in list order. Refuses an empty or over-long list, a header
// line that is too long or holds a line break, and any airport check_airport
// refuses. The airports are given by their positions, or by their stored
// pairs and names (as many of each).
std::optional<std::string> format_airports_file(const std::vector<AirportSource>& airports,
                                                const std::vector<std::string>& header_lines, std::string& file);
std::optional<std::string> format_airports_file(const std::vector<CdcPair>& pairs,
                                                const std::vector<std::string>& names,
                                                const std::vector<std::string>& header_lines, std::string& file);

// The whole flightline.lnc: comment lines, then "first second" per point,
// given as unit vectors or as stored pairs. Refuses fewer than one or more
// than kFlightLineCapacity points.
std::optional<std::string> format_flight_line_file(const std::vector<UnitVector>& points,
                                                   const std::vector<std::string>& header_lines, std::string& file);
std::optional<std::string> format_flight_line_file(const std::vector<CdcPair>& pairs,
                                                   const std::vector<std::string>& header_lines, std::string& file);

// The index of the airport whose name ends in the code in parentheses, as
// "Los Angeles International Airport (LAX)"; -1 when there is none.
int index_of_code(const std::vector<AirportSource>& airports, std::string_view code);

// A decimal number filling the whole text, finite.
std::optional<double> parse_number(std::string_view text);

}  // namespace spherebench
