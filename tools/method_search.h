// Each method's nearest airport to every point of a flight line, by the
// method's own stored form and arithmetic, without the timed pass around it.
#pragma once

#include <vector>

#include "input/tables.h"

// Per point, the index of the airport with the best score (the lowest index
// among equals, as in the benchmark), or -1 when there are no airports.
template <typename Method>
std::vector<int> nearest_by_method(const AirportTable& airports, const FlightLine& line) {
    const typename Method::Stored* stored = Method::stored_airports(airports);
    std::vector<int> winners;
    for (int i = 0; i < line.count; ++i) {
        const typename Method::Point point = Method::prepare_point(line, i);
        int winner = -1;
        double best = Method::initial_best;
        for (int j = 0; j < airports.count; ++j) {
            const double score = Method::score(stored[j], point);
            if (Method::beats(score, best)) {
                best = score;
                winner = j;
            }
        }
        winners.push_back(winner);
    }
    return winners;
}
