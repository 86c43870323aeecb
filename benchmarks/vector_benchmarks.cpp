// The vector searches beside the scalar passes of search_benchmarks.cpp: the
// same points, the same airports, the same airport counts; and what bounds
// the direction-cosine one, the vector square root and the conversions alone
// on the same target.
#include <benchmark/benchmark.h>
#include <hwy/targets.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bench/cdc_method.h"
#include "bench/latlong_method.h"
#include "bench/search.h"
#include "geo/cdc_encoder.h"
#include "input/loader.h"
#include "suite/suite.h"
#include "vector/cdc_block_search.h"
#include "vector/cdc_pruned_vector_search.h"
#include "vector/cdc_vector_search.h"
#include "vector/component_vector_search.h"
#include "vector/latlong_pruned_vector_search.h"
#include "vector/latlong_vector_search.h"

using namespace spherebench;

namespace {

constexpr int kLargeTableQueries = 100;

// A search over the airports grouped by flag case first, once, untimed, as
// the tables themselves are made.
void time_grouped(benchmark::State& state, Nearest (*search)(const CdcCaseGroups&, CdcPair)) {
    const SuiteTables& t = suite_tables();
    const CdcCaseGroups groups = group_by_flag_case(t.airports.cdc.data(), static_cast<int>(state.range(0)));
    time_searches(state, [&](int, int i) { return search(groups, t.flight_line.cdc[i]); });
}

// The fastest exact search: grouped, each lane's least score kept per block.
void BM_CdcVectorPass(benchmark::State& state) { time_grouped(state, cdc_block_find_nearest); }
BENCHMARK(BM_CdcVectorPass)->Apply(airport_counts);

// The same with each lane's best score and its table index kept per vector.
void BM_CdcVectorPassLaneIndex(benchmark::State& state) { time_grouped(state, cdc_grouped_find_nearest); }

// The same search on the table as stored, each lane choosing its airport's
// flag case.
void BM_CdcVectorPassUngrouped(benchmark::State& state) {
    const SuiteTables& t = suite_tables();
    time_searches(state, [&t](int airports, int i) {
        return cdc_vector_find_nearest(t.airports.cdc.data(), airports, t.flight_line.cdc[i]);
    });
}

// The pruned scan over the same grouped table: a filter on the stored words
// first, the exact score only where the filter lets a pair through.
void BM_CdcPrunedVectorPass(benchmark::State& state) { time_grouped(state, cdc_pruned_vector_find_nearest); }
BENCHMARK(BM_CdcPrunedVectorPass)->Apply(airport_counts);

void BM_LatLongPrunedVectorPass(benchmark::State& state) {
    const SuiteTables& t = suite_tables();
    time_searches(state, [&t](int airports, int i) {
        return latlong_pruned_vector_find_nearest(t.airports.fixed.data(), airports, t.flight_line.fixed[i]);
    });
}
BENCHMARK(BM_LatLongPrunedVectorPass)->Apply(airport_counts);

// The same random directions as 8-byte pairs grouped by flag case and as
// three arrays of floats, beyond the suite's 14000 airports; and queries in
// both forms. One size held at a time.
struct PairsAndFloats {
    int count = 0;
    CdcCaseGroups groups;
    std::vector<float> xs, ys, zs;
    std::vector<FixedLatLong> fixed;  // derived from the pairs, as the loader does
    std::vector<CdcPair> queries;
    std::vector<UnitVector> query_directions;
};

const PairsAndFloats& pairs_and_floats(int count) {
    static PairsAndFloats t;
    if (t.count == count) return t;
    t = PairsAndFloats{};
    const std::vector<UnitVector> directions = random_directions(kAirportSeed, count);
    std::vector<CdcPair> pairs;
    for (const UnitVector& v : directions) {
        pairs.push_back(encode_cdc(v));
        t.fixed.push_back(cdc_to_fixed(pairs.back()));
        t.xs.push_back(static_cast<float>(v.x)), t.ys.push_back(static_cast<float>(v.y));
        t.zs.push_back(static_cast<float>(v.z));
    }
    t.groups = group_by_flag_case(pairs.data(), count);
    t.query_directions = random_directions(kFlightLineSeed, kLargeTableQueries);
    for (const UnitVector& v : t.query_directions) t.queries.push_back(encode_cdc(v));
    t.count = count;
    return t;
}

// per_query: seconds per query, each query over the whole table.
template <typename Search>
void time_queries(benchmark::State& state, Search search) {
    for (auto _ : state)
        for (int q = 0; q < kLargeTableQueries; ++q) benchmark::DoNotOptimize(search(q));
    state.counters["per_query"] =
        benchmark::Counter(static_cast<double>(kLargeTableQueries),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_CdcPrunedVectorLarge(benchmark::State& state) {
    const PairsAndFloats& t = pairs_and_floats(static_cast<int>(state.range(0)));
    time_queries(state, [&t](int q) { return cdc_pruned_vector_find_nearest(t.groups, t.queries[q]); });
}

void BM_LatLongPrunedVectorLarge(benchmark::State& state) {
    const PairsAndFloats& t = pairs_and_floats(static_cast<int>(state.range(0)));
    time_queries(state, [&t](int q) {
        return latlong_pruned_vector_find_nearest(t.fixed.data(), t.count, cdc_to_fixed(t.queries[q]));
    });
}

void BM_FloatBruteVectorLarge(benchmark::State& state) {
    const PairsAndFloats& t = pairs_and_floats(static_cast<int>(state.range(0)));
    time_queries(state, [&t](int q) {
        const UnitVector& p = t.query_directions[q];
        return float_components_find_nearest(t.xs.data(), t.ys.data(), t.zs.data(), t.count, static_cast<float>(p.x),
                                             static_cast<float>(p.y), static_cast<float>(p.z));
    });
}

void large_table(benchmark::internal::Benchmark* b) {
    b->Apply(with_minimum)->ArgName("locations")->Unit(benchmark::kMillisecond);
}

// Size by size, the three searches side by side.
bool register_large_tables() {
    for (int count : {kAirportCapacity, 1 << 20, 1 << 22}) {
        for (const auto& [name, timed] : {std::pair{"BM_CdcPrunedVectorLarge", &BM_CdcPrunedVectorLarge},
                                          std::pair{"BM_FloatBruteVectorLarge", &BM_FloatBruteVectorLarge},
                                          std::pair{"BM_LatLongPrunedVectorLarge", &BM_LatLongPrunedVectorLarge}})
            benchmark::RegisterBenchmark(name, timed)->Apply(large_table)->Arg(count);
    }
    return true;
}
const bool large_tables_registered = register_large_tables();

void BM_LatLongVectorPass(benchmark::State& state) {
    const SuiteTables& t = suite_tables();
    time_searches(state, [&t](int airports, int i) {
        return latlong_vector_find_nearest(t.airports.fixed.data(), airports, t.flight_line.fixed[i]);
    });
}
BENCHMARK(BM_LatLongVectorPass)->Apply(airport_counts);

// The square root alone, per lane, on the search's target: the value under
// the root in every direction-cosine test lies in [0, 1].
void BM_VectorSqrt(benchmark::State& state) {
    std::vector<double> values(kAirportCapacity);
    for (int j = 0; j < kAirportCapacity; ++j) values[j] = (j + 0.5) / kAirportCapacity;
    for (auto _ : state) benchmark::DoNotOptimize(vector_sum_of_square_roots(values.data(), kAirportCapacity));
    count_tests(state, kAirportCapacity);
}
BENCHMARK(BM_VectorSqrt)->Apply(with_minimum);

// The same with the scalar square root of the scalar pass (sqrtsd).
void BM_ScalarSqrt(benchmark::State& state) {
    std::vector<double> values(kAirportCapacity);
    for (int j = 0; j < kAirportCapacity; ++j) values[j] = (j + 0.5) / kAirportCapacity;
    for (auto _ : state) {
        double sum[4] = {0, 0, 0, 0};
        for (int j = 0; j < kAirportCapacity; j += 4)
            for (int k = 0; k < 4; ++k) sum[k] += std::sqrt(values[j + k]);
        benchmark::DoNotOptimize(sum);
    }
    count_tests(state, kAirportCapacity);
}
BENCHMARK(BM_ScalarSqrt)->Apply(with_minimum);

// The conversions alone, per airport: both stored cosines of a pair.
void BM_VectorStoredCosines(benchmark::State& state) {
    const AirportTable& airports = suite_tables().airports;
    for (auto _ : state) benchmark::DoNotOptimize(vector_sum_of_stored_cosines(airports.cdc.data(), kAirportCapacity));
    count_tests(state, kAirportCapacity);
}
BENCHMARK(BM_VectorStoredCosines)->Apply(with_minimum);

// The exact search and the square root forced onto a narrower target than
// the CPU's best, through Highway's hook for tests (undone afterwards): what
// they cost where there is no AVX-512.
void on_target(benchmark::State& state, int64_t target, void (*timed)(benchmark::State&)) {
    if ((hwy::SupportedTargets() & target) == 0) {
        state.SkipWithError("the CPU lacks this target");
        return;
    }
    hwy::SetSupportedTargetsForTest(target);
    timed(state);
    hwy::SetSupportedTargetsForTest(0);
}

// All airports of the table, as the narrower targets are timed.
void all_airports(benchmark::internal::Benchmark* b) {
    b->Apply(with_minimum)->Arg(kAirportCapacity)->ArgName("airports")->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_CdcVectorPassUngrouped)->Apply(all_airports);
BENCHMARK(BM_CdcVectorPassLaneIndex)->Apply(all_airports);

void BM_CdcVectorPassOn(benchmark::State& state, int64_t target) { on_target(state, target, BM_CdcVectorPass); }
BENCHMARK_CAPTURE(BM_CdcVectorPassOn, AVX2, HWY_AVX2)->Apply(all_airports);
BENCHMARK_CAPTURE(BM_CdcVectorPassOn, SSE4, HWY_SSE4)->Apply(all_airports);

void BM_CdcVectorPassLaneIndexOn(benchmark::State& state, int64_t target) {
    on_target(state, target, BM_CdcVectorPassLaneIndex);
}
BENCHMARK_CAPTURE(BM_CdcVectorPassLaneIndexOn, AVX2, HWY_AVX2)->Apply(all_airports);

void BM_CdcVectorPassUngroupedOn(benchmark::State& state, int64_t target) {
    on_target(state, target, BM_CdcVectorPassUngrouped);
}
BENCHMARK_CAPTURE(BM_CdcVectorPassUngroupedOn, AVX2, HWY_AVX2)->Apply(all_airports);

void BM_VectorSqrtOn(benchmark::State& state, int64_t target) { on_target(state, target, BM_VectorSqrt); }
BENCHMARK_CAPTURE(BM_VectorSqrtOn, AVX2, HWY_AVX2)->Apply(with_minimum);

bool same(Nearest a, Nearest b) {
    return a.airport == b.airport && std::memcmp(&a.score, &b.score, sizeof(double)) == 0;
}

// Of a flight line's points, how many find the exact pass's airport with the
// lat/long vector search, and how many also its score, bit for bit.
struct Agreement {
    int winners = 0, scores = 0, points = 0;
};

Agreement latlong_agreement(const AirportTable& airports, int airport_count, const FlightLine& flight_line) {
    Agreement a;
    for (int i = 0; i < flight_line.count; ++i) {
        const Nearest exact = find_nearest<LatLongMethod>(airports.fixed.data(), airport_count,
                                                          LatLongMethod::prepare_point(flight_line, i));
        const Nearest vector = latlong_vector_find_nearest(airports.fixed.data(), airport_count, flight_line.fixed[i]);
        a.winners += vector.airport == exact.airport;
        a.scores += same(vector, exact);
        ++a.points;
    }
    return a;
}

void report_agreement(const std::string& tables, Agreement a) {
    const std::string figures = "agree at " + std::to_string(a.winners) + " of " + std::to_string(a.points) +
                                " points (same score bit for bit at " + std::to_string(a.scores) + ")";
    std::fprintf(stderr, "lat/long vector search, %s: %s\n", tables.c_str(), figures.c_str());
    benchmark::AddCustomContext("latlong_vector " + tables, figures);
}

bool vector_searches_agree() {
    const SuiteTables& t = suite_tables();
    benchmark::AddCustomContext("vector_target", vector_target_name());
    bool agree = true;
    for (int n : kSuiteAirportCounts) {
        const CdcCaseGroups groups = group_by_flag_case(t.airports.cdc.data(), n);
        for (int i = 0; i < kSuitePoints; ++i) {
            const Nearest exact =
                find_nearest<CdcMethod>(t.airports.cdc.data(), n, CdcMethod::prepare_point(t.flight_line, i));
            const std::pair<const char*, Nearest> found[] = {
                {"as stored", cdc_vector_find_nearest(t.airports.cdc.data(), n, t.flight_line.cdc[i])},
                {"grouped", cdc_grouped_find_nearest(groups, t.flight_line.cdc[i])},
                {"blocks", cdc_block_find_nearest(groups, t.flight_line.cdc[i])}};
            for (const auto& [layout, vector] : found) {
                if (same(exact, vector)) continue;
                std::fprintf(stderr, "cdc vector search (%s) differs at %d airports, point %d: %d %a, vector %d %a\n",
                             layout, n, i, exact.airport, exact.score, vector.airport, vector.score);
                agree = false;
            }
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
        if (same(brute, pruned)) return;
        std::fprintf(stderr, "%s differs at %d airports, point %d: %d %a, pruned %d %a\n", search, n, i, brute.airport,
                     brute.score, pruned.airport, pruned.score);
        agree = false;
    };
    for (int n : kSuiteAirportCounts) {
        const CdcCaseGroups groups = group_by_flag_case(t.airports.cdc.data(), n);
        for (int i = 0; i < kSuitePoints; ++i) {
            check("CdcPrunedVector", n, i,
                  find_nearest<CdcMethod>(t.airports.cdc.data(), n, CdcMethod::prepare_point(t.flight_line, i)),
                  cdc_pruned_vector_find_nearest(groups, t.flight_line.cdc[i]));
            const FixedLatLong point = t.flight_line.fixed[i];
            check("LatLongPrunedVector", n, i, latlong_vector_find_nearest(t.airports.fixed.data(), n, point),
                  latlong_pruned_vector_find_nearest(t.airports.fixed.data(), n, point));
        }
    }
    return agree;
}
const bool pruned_checked = register_check(pruned_searches_agree);

}  // namespace
