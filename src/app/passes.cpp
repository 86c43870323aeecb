#include "app/passes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <type_traits>

#include "app/run_spread.h"
#include "base/format.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "pass/pass.h"
#include "pass/pass_method.h"
#include "search/batch.h"
#include "search/pass_searches.h"

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

// One timed run of a method's search. Along the path each point's search
// starts from the airport the previous point found (search/batch.h), the
// first point of every run from nothing, so that every run does the same
// work.
template <ProximityMethod Method, typename Search>
std::optional<std::string> run_once(Method method, const Search& search, bool along_path, const Inputs& inputs,
                                    int repeat, MethodRuns& runs, DistanceTable& distances) {
    if (repeat == 1) print_pass_header(method);
    const int run = static_cast<int>(runs.ticks.size());
    WinnerTable& winners = run == 0 ? runs.first : runs.later;
    PathAsker asker(search, along_path);
    const std::optional<int32_t> ticks = timed_search(method, asker, inputs.flight_line, winners, distances);
    if (!ticks) {
        if (repeat > 1) print_pass_header(method);
        return std::string(PassMethod<Method>::internal_error);
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
                                           const LatLongSearch& latlong_search, bool along_path, const Inputs& inputs,
                                           int repeat, PassRuns& runs) {
    MethodRuns cdc{"direction-cosine", {}, {}, {}};
    MethodRuns latlong{"latitude/longitude", {}, {}, {}};
    DistanceTable distances;
    for (int run = 0; run < repeat; ++run) {
        if (auto failure = run_once(cdc_method, cdc_search, along_path, inputs, repeat, cdc, distances)) return failure;
        if (auto failure = run_once(LatLongMethod{}, latlong_search, along_path, inputs, repeat, latlong, distances))
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

// The search built over the table, timed into `ms`; an index's time and size
// under verbose on standard error.
template <typename Search, typename Record>
Search build_search(SearchId id, const char* what, const Record* records, int count, bool verbose, double& ms) {
    const auto start = std::chrono::steady_clock::now();
    Search search(records, count);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    ms = took.count();
    if (verbose && search_facts(id).kind == SearchKind::kIndex)
        std::fprintf(stderr, "spherebench: %s index of %d airports built in %.3f ms, %zu bytes\n", what, count,
                     took.count(), search.bytes());
    return search;
}

// The locations a search scores over the path, each point asked again as
// the timed pass asked it, untimed, with results that count what is offered
// to them (the seed too, along the path).
template <ProximityMethod Method, typename Search>
int64_t count_scored(const Search& search, const FlightLine& line, bool along_path) {
    int64_t scored = 0;
    PathAsker asker(search, along_path);
    for (int i = 0; i < line.count; ++i) {
        CountingNearest results(Search::kOrder);
        asker.nearest_in(pass_query<Method, typename Search::Query>(line, i), results);
        scored += results.offered();
    }
    return scored;
}

// The passes with each method's search of the kind, both built here, before
// any pass and untimed. The brute force runs the direction-cosine test in
// the arrangement of Cdc; the other kinds have their own arithmetic.
template <PassSearch kind, ProximityMethod Cdc>
std::optional<std::string> run_passes_of(Cdc cdc_method, const Inputs& inputs, const PassSetup& setup, PassRuns& runs) {
    using CdcSearch = std::conditional_t<kind == PassSearch::kBrute, BruteForce<Cdc>, CdcPassSearch<kind>>;
    using LatLongSearch = LatLongPassSearch<kind>;
    const AirportTable& airports = inputs.airports;
    const int n = airports.count;
    const PassSearchIds ids = pass_search_ids(kind);
    double cdc_ms = 0, latlong_ms = 0;
    const auto cdc =
        build_search<CdcSearch>(ids.cdc, "direction-cosine", airports.cdc.data(), n, setup.verbose, cdc_ms);
    const auto latlong = build_search<LatLongSearch>(ids.latlong, "latitude/longitude", airports.fixed.data(), n,
                                                     setup.verbose, latlong_ms);
    // Consecutive points of the path lie close together: an index starts
    // each point's search from the previous point's airport.
    constexpr bool along_path = kind == PassSearch::kIndexed;
    if (auto failure = run_passes_with(cdc_method, cdc, latlong, along_path, inputs, setup.repeat, runs))
        return failure;
    if (search_facts(ids.cdc).kind == SearchKind::kIndex) {
        runs.cdc_index_ms = cdc_ms;
        runs.latlong_index_ms = latlong_ms;
    }
    if constexpr (kind != PassSearch::kBrute) {
        runs.cdc_scored = count_scored<Cdc>(cdc, inputs.flight_line, along_path);
        runs.latlong_scored = count_scored<LatLongMethod>(latlong, inputs.flight_line, along_path);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> run_passes(const Inputs& inputs, const PassSetup& setup, PassRuns& runs) {
    // The brute force in the arrangement chosen, each compiled apart so that
    // no test calls through the choice; the other kinds have their own.
    if (setup.search == PassSearch::kBrute)
        return with_cdc_method(setup.arrangement, [&](auto cdc_method) {
            return run_passes_of<PassSearch::kBrute>(cdc_method, inputs, setup, runs);
        });
    return with_pass_search(setup.search,
                            [&]<PassSearch kind>() { return run_passes_of<kind>(CdcMethod{}, inputs, setup, runs); });
}

}  // namespace spherebench
