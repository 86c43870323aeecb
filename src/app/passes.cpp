#include "app/passes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/run_spread.h"
#include "base/format.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "pass/pass.h"
#include "search/cdc_index.h"
#include "search/cdc_pruned_search.h"
#include "search/latlong_index.h"
#include "search/latlong_pruned_search.h"

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

template <ProximityMethod Method, typename Search>
std::optional<std::string> run_once(Method method, const Search& search, const Inputs& inputs, int repeat,
                                    MethodRuns& runs, DistanceTable& distances) {
    if (repeat == 1) print_pass_header(method);
    const int run = static_cast<int>(runs.ticks.size());
    WinnerTable& winners = run == 0 ? runs.first : runs.later;
    const std::optional<int32_t> ticks = timed_search(method, search, inputs.flight_line, winners, distances);
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

template <ProximityMethod Cdc, typename CdcSearch, typename LatLongSearch>
std::optional<std::string> run_passes_with(Cdc cdc_method, const CdcSearch& cdc_search,
                                           const LatLongSearch& latlong_search, const Inputs& inputs, int repeat,
                                           PassRuns& runs) {
    MethodRuns cdc{"direction-cosine", {}, {}, {}};
    MethodRuns latlong{"latitude/longitude", {}, {}, {}};
    DistanceTable distances;
    for (int run = 0; run < repeat; ++run) {
        if (auto failure = run_once(cdc_method, cdc_search, inputs, repeat, cdc, distances)) return failure;
        if (auto failure = run_once(LatLongMethod{}, latlong_search, inputs, repeat, latlong, distances))
            return failure;
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

// build(), timed into `ms`; under verbose its time and size on standard
// error.
template <typename Build, typename Bytes>
auto build_index(const char* what, int count, bool verbose, Build build, Bytes bytes, double& ms) {
    const auto start = std::chrono::steady_clock::now();
    auto index = build();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    ms = took.count();
    if (verbose)
        std::fprintf(stderr, "spherebench: %s index of %d airports built in %.3f ms, %zu bytes\n", what, count,
                     took.count(), bytes(index));
    return index;
}

// Each method's search of the chosen kind, handed to the passes: the brute
// force of the method, its pruned scan, or its index built here, before any
// pass and untimed.
template <ProximityMethod Cdc>
std::optional<std::string> run_passes_by(Cdc cdc_method, const Inputs& inputs, const PassSetup& setup, PassRuns& runs) {
    const AirportTable& airports = inputs.airports;
    const int n = airports.count;
    switch (setup.search) {
        case PassSearch::kPruned:
            return run_passes_with(
                cdc_method, [&](const CdcPoint& p) { return cdc_pruned_find_nearest(airports.cdc.data(), n, p); },
                [&](const FlightLine& line, int i) {
                    return latlong_pruned_find_nearest(airports.fixed.data(), n, line.fixed[i]);
                },
                inputs, setup.repeat, runs);
        case PassSearch::kIndexed: {
            double cdc_ms = 0, latlong_ms = 0;
            const CdcIndex cdc = build_index(
                "direction-cosine", n, setup.verbose, [&] { return build_cdc_index(airports.cdc.data(), n); },
                cdc_index_bytes, cdc_ms);
            const LatLongIndex latlong = build_index(
                "latitude/longitude", n, setup.verbose, [&] { return build_latlong_index(airports.fixed.data(), n); },
                latlong_index_bytes, latlong_ms);
            auto failure = run_passes_with(
                cdc_method, [&](const CdcPoint& p) { return cdc_index_find_nearest(cdc, p); },
                [&](const FlightLine& line, int i) { return latlong_index_find_nearest(latlong, line.fixed[i]); },
                inputs, setup.repeat, runs);
            runs.cdc_index_ms = cdc_ms;
            runs.latlong_index_ms = latlong_ms;
            return failure;
        }
        case PassSearch::kBrute:
            break;
    }
    return run_passes_with(
        cdc_method, [&](const CdcPoint& p) { return find_nearest<Cdc>(airports.cdc.data(), n, p); },
        [&](LatLong p) { return find_nearest<LatLongMethod>(airports.fixed.data(), n, p); }, inputs, setup.repeat,
        runs);
}

}  // namespace

std::optional<std::string> run_passes(const Inputs& inputs, const PassSetup& setup, PassRuns& runs) {
    return with_cdc_method(setup.arrangement,
                           [&](auto cdc_method) { return run_passes_by(cdc_method, inputs, setup, runs); });
}

}  // namespace spherebench
