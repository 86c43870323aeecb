// The timed proximity pass shared by both methods: for every point of the
// flight line, test every airport and keep the nearest, timing the search;
// then list the airports met along the path and the time taken.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/format.h"
#include "bench/clock.h"
#include "bench/report.h"
#include "bench/search.h"
#include "input/tables.h"

namespace spherebench {

// Per airport, the central angle in radians to the last point it was nearest
// to; written by each pass and never read back.
struct DistanceTable {
    std::vector<double> angle = std::vector<double>(kAirportCapacity);
};

struct PassTime {
    int32_t ticks;
    double seconds;
};

// Prints the pass's block on standard output and a progress counter every
// 100 points on standard error; ends the run if a point finds no airport.
template <ProximityMethod Method>
PassTime run_pass(Method, const AirportTable& airports, const FlightLine& flight_line, WinnerTable& winners,
                  DistanceTable& distances) {
    std::fputs(kPassHeader, stdout);
    std::fputs(Method::title, stdout);

    const int32_t start = clock_ticks();
    const typename Method::Stored* stored = Method::stored_airports(airports);
    for (int i = 0; i < flight_line.count; ++i) {
        if (i % 100 == 0) std::fprintf(stderr, "%d\r", i);
        const typename Method::Point point = Method::prepare_point(flight_line, i);
        const Nearest nearest = find_nearest<Method>(stored, airports.count, point);
        winners.airport[i] = nearest.airport;
        if (nearest.airport == kNoWinner) fail_with(Method::internal_error);
        distances.angle[nearest.airport] = Method::distance(nearest.score);
    }
    const int32_t ticks = clock_ticks() - start;
    const double seconds = ticks_to_seconds(ticks);

    std::fputs(format_result_list<Method>(airports, winners, flight_line.count).c_str(), stdout);
    std::fputs(format_duration(seconds).c_str(), stdout);
    return {ticks, seconds};
}

}  // namespace spherebench
