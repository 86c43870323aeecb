// The vector searches beside the scalar passes of search_benchmarks.cpp: the
// same points, the same airports, the same airport counts.
#include <benchmark/benchmark.h>
#include <hwy/targets.h>

#include <cstdio>
#include <string>
#include <utility>

#include "catalogue/search_catalogue.h"
#include "input/loader.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "method/nearest.h"
#include "pass/pass_method.h"
#include "suite/suite.h"
#include "vector/cdc_block_search.h"
#include "vector/cdc_pruned_vector_search.h"
#include "vector/latlong_pruned_vector_search.h"
#include "vector/latlong_vector_search.h"

using namespace spherebench;

namespace {

// The searches over the airports grouped by flag case first, once, untimed,
// as the tables themselves are made: the exact search and the pruned scan
// (a filter on the stored integers first, the exact score only where the
// filter lets a location through).
template <Nearest (*find)(const CdcCaseGroups&, CdcPair)>
void BM_CdcGroupsVector(benchmark::State& state) {
    const SuiteTables& t = suite_tables();
    const CdcCaseGroups groups = group_by_flag_case(t.airports.cdc.data(), static_cast<int>(state.range(0)));
    time_searches(state, [&](int, int i) { return find(groups, t.flight_line.cdc[i]); });
}

// The lat/long searches of the same tables, the exact one and the pruned one.
template <Nearest (*find)(const FixedLatLong*, int, FixedLatLong)>
void BM_LatLongVector(benchmark::State& state) {
    const SuiteTables& t = suite_tables();
    time_searches(
        state, [&t](int airports, int i) { return find(t.airports.fixed.data(), airports, t.flight_line.fixed[i]); });
}

// The exact searches first, then the pruned scans, as the suite runs them.
const bool vector_searches_registered = [] {
    const std::pair<SearchId, void (*)(benchmark::State&)> searches[] = {
        {SearchId::kCdcBruteVector, BM_CdcGroupsVector<cdc_block_find_nearest>},
        {SearchId::kLatLongBruteVector, BM_LatLongVector<latlong_vector_find_nearest>},
        {SearchId::kCdcPrunedVector, BM_CdcGroupsVector<cdc_pruned_vector_find_nearest>},
        {SearchId::kLatLongPrunedVector, BM_LatLongVector<latlong_pruned_vector_find_nearest>},
    };
    for (const auto& [search, run] : searches)
        benchmark::RegisterBenchmark(benchmark_name(search).c_str(), run)->Apply(airport_counts);
    return true;
}();

// The exact search forced onto a narrower target than the CPU's best,
// through Highway's hook for tests (undone afterwards): what it costs where
// there is no AVX-512. All airports of the table, at one count.
void BM_CdcBruteVectorOn(benchmark::State& state, int64_t target) {
    if ((hwy::SupportedTargets() & target) == 0) {
        state.SkipWithError("the CPU lacks this target");
        return;
    }
    hwy::SetSupportedTargetsForTest(target);
    BM_CdcGroupsVector<cdc_block_find_nearest>(state);
    hwy::SetSupportedTargetsForTest(0);
}
void all_airports(benchmark::internal::Benchmark* b) {
    b->Apply(with_minimum)->Arg(kAirportCapacity)->ArgName("airports")->Unit(benchmark::kMillisecond);
}
BENCHMARK_CAPTURE(BM_CdcBruteVectorOn, AVX2, HWY_AVX2)
    ->Name(benchmark_name(SearchId::kCdcBruteVector) + "On/AVX2")
    ->Apply(all_airports);
BENCHMARK_CAPTURE(BM_CdcBruteVectorOn, SSE4, HWY_SSE4)
    ->Name(benchmark_name(SearchId::kCdcBruteVector) + "On/SSE4")
    ->Apply(all_airports);

// Of a flight line's points, how many find the exact pass's airport with the
// lat/long vector search, and how many also its score, bit for bit.
struct Agreement {
    int winners = 0, scores = 0, points = 0;
};

Agreement latlong_agreement(const AirportTable& airports, int airport_count, const FlightLine& flight_line) {
    Agreement a;
    for (int i = 0; i < flight_line.count; ++i) {
        const Nearest exact = find_nearest<LatLongMethod>(airports.fixed.data(), airport_count,
                                                          pass_point<LatLongMethod>(flight_line, i));
        const Nearest vector = latlong_vector_find_nearest(airports.fixed.data(), airport_count, flight_line.fixed[i]);
        a.winners += vector.index == exact.index;
        a.scores += same_answer(vector, exact);
        ++a.points;
    }
    return a;
}

void report_agreement(const std::string& tables, Agreement a) {
    const std::string figures = "agree at " + std::to_string(a.winners) + " of " + std::to_string(a.points) +
                                " points (same score bit for bit at " + std::to_string(a.scores) + ")";
    report_check_figure("lat/long vector search, " + tables, "latlong_vector " + tables, figures);
}

bool vector_searches_agree() {
    const SuiteTables& t = suite_tables();
    benchmark::AddCustomContext("vector_target", vector_target_name());
    bool agree = true;
    for (int n : kSuiteAirportCounts) {
        const CdcCaseGroups groups = group_by_flag_case(t.airports.cdc.data(), n);
        for (int i = 0; i < kSuitePoints; ++i) {
            const Nearest exact =
                find_nearest<CdcMethod>(t.airports.cdc.data(), n, pass_point<CdcMethod>(t.flight_line, i));
            const Nearest vector = cdc_block_find_nearest(groups, t.flight_line.cdc[i]);
            if (same_answer(exact, vector)) continue;
            std::fprintf(stderr, "cdc vector search differs at %d airports, point %d: %d %a, vector %d %a\n", n, i,
                         exact.index, exact.score, vector.index, vector.score);
            agree = false;
        }
    }
    if (!agree) return false;

    // Not exact by design: how often the lat/long vector search still finds
    // the exact pass's airport, on the suite's tables and the bundled data.
    for (int n : kSuiteAirportCounts)
        report_agreement("random, " + std::to_string(n) + " airports", latlong_agreement(t.airports, n, t.flight_line));
    Inputs bundled;
    if (auto failure = load_inputs(SPHEREBENCH_DATA_DIR, bundled)) {
        std::fputs(failure->c_str(), stderr);
        return false;
    }
    report_agreement("bundled, " + std::to_string(bundled.airports.count) + " airports",
                     latlong_agreement(bundled.airports, bundled.airports.count, bundled.flight_line));
    return true;
}
const bool checked = register_check(vector_searches_agree);

// The pruned scans against their brute forces, winner and score bits, on
// the suite's tables.
bool pruned_searches_agree() {
    const SuiteTables& t = suite_tables();
    bool agree = true;
    const auto check = [&agree](const char* search, int n, int i, Nearest brute, Nearest pruned) {
        if (same_answer(brute, pruned)) return;
        std::fprintf(stderr, "%s differs at %d airports, point %d: %d %a, pruned %d %a\n", search, n, i, brute.index,
                     brute.score, pruned.index, pruned.score);
        agree = false;
    };
    for (int n : kSuiteAirportCounts) {
        const CdcCaseGroups groups = group_by_flag_case(t.airports.cdc.data(), n);
        for (int i = 0; i < kSuitePoints; ++i) {
            check(search_name(SearchId::kCdcPrunedVector), n, i,
                  find_nearest<CdcMethod>(t.airports.cdc.data(), n, pass_point<CdcMethod>(t.flight_line, i)),
                  cdc_pruned_vector_find_nearest(groups, t.flight_line.cdc[i]));
            const FixedLatLong point = t.flight_line.fixed[i];
            check(search_name(SearchId::kLatLongPrunedVector), n, i,
                  latlong_vector_find_nearest(t.airports.fixed.data(), n, point),
                  latlong_pruned_vector_find_nearest(t.airports.fixed.data(), n, point));
        }
    }
    return agree;
}
const bool pruned_checked = register_check(pruned_searches_agree);

}  // namespace
