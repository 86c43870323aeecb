// The vector searches beside the scalar passes of search_benchmarks.cpp: the
// same points, the same airports, the same airport counts; and what bounds
// them, the vector square root and conversions alone on the same target.
#include "vector_benchmarks.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "bench/cdc_method.h"
#include "bench/search.h"
#include "cdc_vector_search.h"
#include "suite.h"

namespace {

void BM_CdcVectorPass(benchmark::State& state) {
    const SuiteTables& t = suite_tables();
    const int airports = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < kSuitePoints; ++i) {
            Nearest nearest = cdc_vector_find_nearest(t.airports.cdc.data(), airports, t.flight_line.cdc[i]);
            benchmark::DoNotOptimize(nearest);
        }
    }
    count_tests(state, static_cast<double>(airports) * kSuitePoints);
}
BENCHMARK(BM_CdcVectorPass)->Apply(airport_counts);

bool same(Nearest a, Nearest b) {
    return a.airport == b.airport && std::memcmp(&a.score, &b.score, sizeof(double)) == 0;
}

}  // namespace

bool vector_searches_agree() {
    const SuiteTables& t = suite_tables();
    benchmark::AddCustomContext("vector_target", vector_target_name());
    bool agree = true;
    for (int n : kSuiteAirportCounts) {
        for (int i = 0; i < kSuitePoints; ++i) {
            const Nearest exact = find_nearest<CdcMethod>(t.airports.cdc.data(), n,
                                                          CdcMethod::prepare_point(t.flight_line, i));
            const Nearest vector = cdc_vector_find_nearest(t.airports.cdc.data(), n, t.flight_line.cdc[i]);
            if (!same(exact, vector)) {
                std::fprintf(stderr, "cdc vector search differs at %d airports, point %d: %d %a, vector %d %a\n", n,
                             i, exact.airport, exact.score, vector.airport, vector.score);
                agree = false;
            }
        }
    }
    return agree;
}
