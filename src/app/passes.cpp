#include "app/passes.h"

#include <algorithm>

#include "app/run_spread.h"
#include "base/format.h"
#include "bench/cdc_method.h"
#include "bench/latlong_method.h"
#include "bench/pass.h"

namespace spherebench {

namespace {

// One method's runs: the airports of its first run, a table for each later
// run to be checked against them, and every run's ticks.
struct MethodRuns {
    const char* name;
    WinnerTable first;
    WinnerTable later;
    std::vector<int32_t> ticks;
};

template <ProximityMethod Method>
std::optional<std::string> run_once(Method method, const Inputs& inputs, int repeat, MethodRuns& runs,
                                    DistanceTable& distances) {
    if (repeat == 1) print_pass_header(method);
    const int run = static_cast<int>(runs.ticks.size());
    WinnerTable& winners = run == 0 ? runs.first : runs.later;
    const std::optional<int32_t> ticks = timed_search(method, inputs.airports, inputs.flight_line, winners, distances);
    if (!ticks) {
        if (repeat > 1) print_pass_header(method);
        return std::string(Method::internal_error);
    }
    const int points = inputs.flight_line.count;
    if (run > 0 && !std::equal(winners.airport.begin(), winners.airport.begin() + points, runs.first.airport.begin()))
        return printf_string("Run %d of the %s search found other airports than run 1\n", run + 1, runs.name);
    runs.ticks.push_back(*ticks);
    if (repeat == 1) print_pass_result(method, inputs.airports, winners, points, pass_time(*ticks));
    return std::nullopt;
}

template <ProximityMethod Method>
void print_block(Method method, const Inputs& inputs, const MethodRuns& runs) {
    print_pass_header(method);
    const int32_t median = median_ticks(runs.ticks);
    print_pass_result(method, inputs.airports, runs.first, inputs.flight_line.count, pass_time(median));
}

template <ProximityMethod Cdc>
std::optional<std::string> run_passes_with(Cdc cdc_method, const Inputs& inputs, int repeat, PassRuns& runs) {
    MethodRuns cdc{"direction-cosine", {}, {}, {}};
    MethodRuns latlong{"latitude/longitude", {}, {}, {}};
    DistanceTable distances;
    for (int run = 0; run < repeat; ++run) {
        if (auto failure = run_once(cdc_method, inputs, repeat, cdc, distances)) return failure;
        if (auto failure = run_once(LatLongMethod{}, inputs, repeat, latlong, distances)) return failure;
    }
    if (repeat > 1) {
        print_block(cdc_method, inputs, cdc);
        print_block(LatLongMethod{}, inputs, latlong);
    }
    const auto found = [&](const MethodRuns& method) {
        return std::vector<int32_t>(method.first.airport.begin(),
                                    method.first.airport.begin() + inputs.flight_line.count);
    };
    runs = {cdc.ticks, latlong.ticks, found(cdc), found(latlong)};
    return std::nullopt;
}

}  // namespace

std::optional<std::string> run_passes(const Inputs& inputs, int repeat, CdcArrangement arrangement, PassRuns& runs) {
    return with_cdc_method(arrangement,
                           [&](auto cdc_method) { return run_passes_with(cdc_method, inputs, repeat, runs); });
}

}  // namespace spherebench
