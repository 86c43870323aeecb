// The pass's part of the report: the header of its block, the airports met
// along the path and the duration line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/format.h"
#include "geo/coords.h"
#include "input/tables.h"
#include "method/nearest.h"
#include "pass/pass_method.h"

namespace spherebench {

inline constexpr const char* kPassHeader =
    "==== Find nearest airports to the points ======\n"
    "==== along Bombay-Los Angeles flight path =====\n";

// The index of each point's nearest airport; rewritten by each pass.
struct WinnerTable {
    std::vector<int32_t> airport = std::vector<int32_t>(kFlightLineCapacity);
};

struct DurationParts {
    int hours;
    int minutes;
    double seconds;  // within the minute
};

// Multiplies by reciprocals rather than dividing; for every whole number of
// milliseconds up to ten hours the result agrees with integer division.
DurationParts split_duration(double seconds);

// "[Duration h:mm:ss.sss]" and an empty line.
std::string format_duration(double seconds);

// One numbered line per airport met along the path; consecutive points with
// the same winner collapse into one line.
template <ProximityMethod Method>
std::string format_result_list(const AirportTable& airports, const WinnerTable& winners, int points) {
    std::string list;
    int count = 0;
    for (int i = 0; i < points; ++i) {
        if (i > 0 && winners.airport[i] == winners.airport[i - 1]) continue;
        const int k = winners.airport[i];
        const LatLong position = airport_position<Method>(airports, k);
        list += printf_string("%3d %9.5f %10.5f %s\n", ++count, position.lat * kDegreesPerRadian,
                              position.lon * kDegreesPerRadian, airports.names[k].c_str());
    }
    return list;
}

}  // namespace spherebench
