// Reading the airport and flight-line files into their tables.
//
// Both files are line-oriented text read in text mode: CR LF reads as LF, a
// 0x1A byte ends the file, a lone CR is an ordinary character. A UTF-8 byte
// order mark (EF BB BF) that opens a file is skipped. Per line:
// - first character ';' or '*': a comment, skipped whole;
// - empty, or only spaces and tabs: skipped;
// - otherwise a record: two numbers (32-bit words, signed or unsigned decimal)
//   separated by spaces or tabs, and for an airport its name: all the text
//   after the one character that ended the second number.
// A record line may hold at most 508 characters and no NUL byte.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "input/tables.h"

namespace spherebench {

inline constexpr const char* kAirportFileName = "airports.ptc";
inline constexpr const char* kFlightLineFileName = "flightline.lnc";
inline constexpr size_t kMaxRecordLineLength = 508;
// The airport after which the loader writes its diagnostic line.
inline constexpr int kDiagnosticAirportIndex = 11206;

// A number field as atol reads it: leading white space, an optional sign,
// decimal digits up to the first non-digit, accumulated modulo 2^32.
int32_t parse_word(std::string_view field);

// Parse a whole file's bytes, as read from disk, into the table, which the
// caller passes empty. On failure returns the line to print (the table then
// holds the records before the failing line). The airport parser writes the
// diagnostic line to `diagnostics` unless it is null. `lines_before` lines
// are taken to precede the bytes: they only add to the line numbers that
// messages give.
std::optional<std::string> parse_airports(std::string_view bytes, const char* file_name, AirportTable& table,
                                          std::FILE* diagnostics, int64_t lines_before = 0);
std::optional<std::string> parse_flight_line(std::string_view bytes, const char* file_name, FlightLine& flight_line,
                                             int64_t lines_before = 0);

struct Inputs {
    AirportTable airports;
    FlightLine flight_line;
};

// Opens both files in `folder` (the current one when empty), reads and parses
// them into `inputs`, which the caller passes empty, and writes the four
// progress lines to standard error. On failure returns the line to print:
// the messages name the files by name, except that a file that can't be
// opened or read is named by its path in the folder.
std::optional<std::string> load_inputs(const std::string& folder, Inputs& inputs);

}  // namespace spherebench
