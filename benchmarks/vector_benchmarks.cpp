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
#include "input/loader.h"
#include "suite/suite.h"
#include "vector/cdc_block_search.h"
#include "vector/cdc_vector_search.h"
#include "vector/latlong_vector_search.h"

using namespace spherebench;

namespace {

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

}  // namespace
