// Each point's nearest airport, per method, as CSV (--results): what the
// report's lists collapse, one line a point.
#pragma once

#include <string>
#include <string_view>

#include "app/passes.h"
#include "input/loader.h"

namespace spherebench {

// The header line. Points and airports are numbered from 0 in file order;
// positions are in degrees, as the method's report list gives them (the
// direction-cosine method decodes the pair, the latitude/longitude method
// converts the fixed point); distance_km is the great-circle distance
// between the line's two positions, atan2(|a x b|, a . b) of their unit
// vectors times the mean Earth radius. Numbers are written in the shortest
// form that reads back as the same double.
inline constexpr const char* kPointResultsHeader =
    "method,point,point_latitude,point_longitude,airport,airport_name,airport_latitude,airport_longitude,"
    "distance_km\n";

// The header, then for the direction-cosine method ("cdc") and then the
// latitude/longitude method ("latlong") one line per point, from the
// winners in `runs`.
std::string format_point_results(const Inputs& inputs, const PassRuns& runs);

// A CSV field, always quoted: a quote inside doubled, every other byte as it
// is (commas, line breaks and blanks at either end then read back intact).
std::string csv_field(std::string_view text);

}  // namespace spherebench
