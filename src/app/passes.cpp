#include "app/passes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

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

template <ProximityMethod Method, typename Search>
std::optional<std::string> run_once(Method method, const Search& search, const Inputs& inputs, int repeat,
                                    MethodRuns& runs, DistanceTable& distances) {
    if (repeat == 1) print_pass_header(method);
    const int run = static_cast<int>(runs.ticks.size());
    WinnerTable& winners = run == 0 ? runs.first : runs.later;
    const std::optional<int32_t> ticks = timed_search(method, search, inputs.flight_line, winners, distances);
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

// The program's brute force runs the direction-cosine test in the arrangement
// chosen on the command line; the other searches have their own.
template <typename Search, ProximityMethod Cdc>
struct Arranged {
    using type = Search;
};
template <ProximityMethod Cdc>
struct Arranged<CdcBrute, Cdc> {
    using type = BruteForce<Cdc>;
};

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

// The locations a search scores over the path, each point asked again,
// untimed, with results that count what is offered to them (the seed too,
// along the path).
template <typename Search, typename PointOf>
int64_t count_scored(const Search& search, int points, PointOf point_of, bool along_path) {
    int64_t scored = 0;
    int32_t previous = kNoWinner;
    for (int i = 0; i < points; ++i) {
        CountingNearest results(Search::kOrder);
        const auto query = point_of(i);
        if constexpr (Seedable<Search>)
            if (along_path && previous != kNoWinner) results.add(previous, search.score_at(query, previous));
        search.find(query, results);
        scored += results.offered();
        previous = results.take().index;
    }
    return scored;
}

// Each method's search of the chosen kind, handed to the passes: built here,
// before any pass and untimed.
template <ProximityMethod Cdc>
std::optional<std::string> run_passes_by(Cdc cdc_method, const Inputs& inputs, const PassSetup& setup, PassRuns& runs) {
    const AirportTable& airports = inputs.airports;
    const int n = airports.count;
    return with_pass_search(setup.search, [&]<PassSearch kind>() {
        using CdcSearch = typename Arranged<CdcPassSearch<kind>, Cdc>::type;
        const PassSearchIds ids = pass_search_ids(kind);
        double cdc_ms = 0, latlong_ms = 0;
        const auto cdc =
            build_search<CdcSearch>(ids.cdc, "direction-cosine", airports.cdc.data(), n, setup.verbose, cdc_ms);
        const auto latlong = build_search<LatLongPassSearch<kind>>(ids.latlong, "latitude/longitude",
                                                                   airports.fixed.data(), n, setup.verbose, latlong_ms);
        // Along the path, each point's search starts from the airport the
        // previous point found (search/batch.h), where the kind is indexed.
        const bool along_path = kind == PassSearch::kIndexed;
        int32_t cdc_previous = kNoWinner, latlong_previous = kNoWinner;
        const auto asked = [along_path](const auto& search, const auto& query, int32_t& previous) {
            const Nearest found = nearest_from(search, query, along_path ? previous : kNoWinner);
            previous = found.index;
            return found;
        };
        const FlightLine& line = inputs.flight_line;
        const auto latlong_point = [&](int i) {
            if constexpr (std::same_as<typename LatLongPassSearch<kind>::Query, FixedLatLong>)
                return line.fixed[i];
            else
                return pass_point<LatLongMethod>(line, i);
        };
        auto failure = run_passes_with(
            cdc_method, [&](const CdcPoint& p) { return asked(cdc, p, cdc_previous); },
            [&](const FlightLine&, int i) { return asked(latlong, latlong_point(i), latlong_previous); }, inputs,
            setup.repeat, runs);
        if (failure) return failure;
        if (search_facts(ids.cdc).kind == SearchKind::kIndex) {
            runs.cdc_index_ms = cdc_ms;
            runs.latlong_index_ms = latlong_ms;
        }
        if constexpr (kind != PassSearch::kBrute) {
            const auto cdc_point = [&](int i) { return pass_point<Cdc>(line, i); };
            runs.cdc_scored = count_scored(cdc, line.count, cdc_point, along_path);
            runs.latlong_scored = count_scored(latlong, line.count, latlong_point, along_path);
        }
        return failure;
    });
}

}  // namespace

std::optional<std::string> run_passes(const Inputs& inputs, const PassSetup& setup, PassRuns& runs) {
    return with_cdc_method(setup.arrangement,
                           [&](auto cdc_method) { return run_passes_by(cdc_method, inputs, setup, runs); });
}

}  // namespace spherebench
