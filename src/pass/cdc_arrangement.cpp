#include "pass/cdc_arrangement.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "method/nearest.h"
#include "pass/pass_method.h"

namespace spherebench {

namespace {

// One timed search covers about this many tests (about 0.2 ms), long enough
// for the clock and short enough that an interruption spoils one round, not
// the least time; five rounds of three arrangements take a few milliseconds.
constexpr int64_t kSliceTests = 50000;
constexpr int kRounds = 5;
// Below this many tests in the whole pass the trial would cost more than it
// could gain.
constexpr int64_t kLeastPassTests = 2000000;
// Least times closer than this to the default's are taken as equal.
constexpr double kMargin = 1.02;

// Where each timed search leaves its results.
volatile int64_t kept_winners;

template <ProximityMethod Method>
double time_search(Method, const AirportTable& airports, const FlightLine& flight_line, int points) {
    const auto start = std::chrono::steady_clock::now();
    int64_t winners = 0;
    for (int i = 0; i < points; ++i)
        winners +=
            find_nearest<Method>(stored_airports<Method>(airports), airports.count, pass_point<Method>(flight_line, i))
                .index;
    // The searches' results must be computed, not dropped as unused: a
    // volatile store needs them, before the clock is read again.
    kept_winners = winners;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double time_search(CdcArrangement arrangement, const AirportTable& airports, const FlightLine& flight_line,
                   int points) {
    return with_cdc_method(arrangement,
                           [&](auto method) { return time_search(method, airports, flight_line, points); });
}

}  // namespace

const char* cdc_arrangement_name(CdcArrangement arrangement) {
    // In the order of the enumeration.
    static constexpr const char* kNames[kCdcArrangementCount] = {"two-slot array", "both sums, integer select",
                                                                 "both sums, conditional"};
    return kNames[static_cast<int>(arrangement)];
}

int cdc_trial_points(int airport_count, int point_count) {
    if (airport_count <= 0 || static_cast<int64_t>(airport_count) * point_count < kLeastPassTests) return 0;
    const int64_t points = (kSliceTests + airport_count - 1) / airport_count;
    return points <= point_count ? static_cast<int>(points) : 0;
}

CdcArrangement fastest_cdc_arrangement(const double (&least_seconds)[kCdcArrangementCount]) {
    const auto fastest = std::min_element(std::begin(least_seconds), std::end(least_seconds));
    const double by_default = least_seconds[static_cast<int>(kDefaultCdcArrangement)];
    if (by_default <= *fastest * kMargin) return kDefaultCdcArrangement;
    return static_cast<CdcArrangement>(fastest - std::begin(least_seconds));
}

CdcArrangementChoice choose_cdc_arrangement(const AirportTable& airports, const FlightLine& flight_line) {
    const int points = cdc_trial_points(airports.count, flight_line.count);
    if (points == 0) return {kDefaultCdcArrangement, cdc_arrangement_name(kDefaultCdcArrangement)};
    double least[kCdcArrangementCount];
    std::fill(std::begin(least), std::end(least), 1e300);
    // Each round starts with the next arrangement, so that none always runs
    // first, after the same other one.
    for (int round = 0; round < kRounds; ++round) {
        for (int k = 0; k < kCdcArrangementCount; ++k) {
            const int which = (round + k) % kCdcArrangementCount;
            least[which] =
                std::min(least[which], time_search(static_cast<CdcArrangement>(which), airports, flight_line, points));
        }
    }
    const CdcArrangement chosen = fastest_cdc_arrangement(least);
    return {chosen, cdc_arrangement_name(chosen)};
}

}  // namespace spherebench
