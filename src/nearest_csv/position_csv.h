// CSV files of positions in degrees, one a row, as the nearest tool reads
// its locations and its fixes: latitude and longitude, with or without a
// header line. A header names its latitude column (latitude, latitude_deg
// or lat) and its longitude column (longitude, longitude_deg, lon, lng or
// long), in any order and case, and other columns are ignored; without one
// (a first row whose first two fields are numbers) they are the first two.
// Rows are numbered from 0, the header and blank lines not counted: a
// position's row is its index in the table. Fields may be quoted ("...");
// spaces and tabs around a field are dropped; CR LF line ends and a UTF-8
// byte order mark are accepted. A quoted field may not hold a line break.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geo/cdc_layout.h"

namespace spherebench {

// The pairs of the positions in `csv`, in row order, read in parts of
// whole lines on `threads` threads. On failure the first fault as
// "NAME:LINE:COLUMN: what" (lines and columns from 1, columns in bytes),
// NAME as given.
std::optional<std::string> read_position_csv(std::string_view csv, const std::string& name, std::vector<CdcPair>& pairs,
                                             int threads = 1);

}  // namespace spherebench
