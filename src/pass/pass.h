// The timed proximity pass shared by both methods: for every point of the
// flight line, find the nearest airport with the search the pass is given,
// timing it; then list the airports met along the path and the time taken.
// The search tests every airport (--search brute), or skips those a proven
// bound shows cannot win (a pruned scan or an index: --search pruned,
// indexed), with the same answer bit for bit. The search and the printing
// of its block are separate, so that repeated searches can print one block.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "input/tables.h"
#include "method/nearest.h"
#include "pass/clock.h"
#include "pass/pass_method.h"
#include "pass/report.h"

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

inline PassTime pass_time(int32_t ticks) { return {ticks, ticks_to_seconds(ticks)}; }

// The block's header lines, on standard output.
template <ProximityMethod Method>
void print_pass_header(Method) {
    std::fputs(kPassHeader, stdout);
    std::fputs(PassMethod<Method>::title, stdout);
}

// The timed search, with a progress counter every 100 points on standard
// error: asker.nearest(query) gives the nearest airport to each point, asked
// as the asker's search takes it (pass_query). Returns the clock ticks it
// took, or nothing when a point finds no airport
// (PassMethod<Method>::internal_error says so).
template <ProximityMethod Method, typename Asker>
std::optional<int32_t> timed_search(Method, Asker& asker, const FlightLine& flight_line, WinnerTable& winners,
                                    DistanceTable& distances) {
    using Query = typename Asker::Query;
    const int32_t start = clock_ticks();
    for (int i = 0; i < flight_line.count; ++i) {
        if (i % 100 == 0) std::fprintf(stderr, "%d\r", i);
        const Nearest nearest = asker.nearest(pass_query<Method, Query>(flight_line, i));
        winners.airport[i] = nearest.index;
        if (nearest.index == kNoWinner) return std::nullopt;
        distances.angle[nearest.index] = Method::distance(nearest.score);
    }
    return clock_ticks() - start;
}

// The rest of the block, on standard output: the airports met along the
// path and the duration line.
template <ProximityMethod Method>
void print_pass_result(Method, const AirportTable& airports, const WinnerTable& winners, int points, PassTime time) {
    std::fputs(format_result_list<Method>(airports, winners, points).c_str(), stdout);
    std::fputs(format_duration(time.seconds).c_str(), stdout);
}

}  // namespace spherebench
