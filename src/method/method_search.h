// Each method's nearest airport to every point of a flight line, by the
// method's own stored form and arithmetic, without the timed pass around it.
#pragma once

#include <vector>

#include "input/tables.h"
#include "method/nearest.h"

namespace spherebench {

// Per point, the index of the airport with the best score (the lowest index
// among equals, as in the benchmark), or -1 when there are no airports.
template <ProximityMethod Method>
std::vector<int> nearest_by_method(const AirportTable& airports, const FlightLine& line) {
    std::vector<int> winners;
    for (int i = 0; i < line.count; ++i)
        winners.push_back(
            find_nearest<Method>(Method::stored_airports(airports), airports.count, Method::prepare_point(line, i))
                .index);
    return winners;
}

}  // namespace spherebench
