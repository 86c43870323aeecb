// What every benchmark of the suite shares: the random tables it searches,
// the airport counts it searches them at, and the per-test counter it reports.
#pragma once

#include <benchmark/benchmark.h>

#include "input/tables.h"

inline constexpr int kSuitePoints = kFlightLineCapacity;
inline constexpr int kSuiteAirportCounts[] = {1000, 2000, 4000, 8000, 14000};

struct SuiteTables {
    AirportTable airports;     // kAirportCapacity random directions
    FlightLine flight_line;    // kSuitePoints random directions
};

// Made once, on first use, from the fixed seeds of random_tables.h.
const SuiteTables& suite_tables();

// Reports the counter per_test: CPU seconds per proximity test.
void count_tests(benchmark::State& state, double tests_per_iteration);

// Runs a search benchmark at each of kSuiteAirportCounts.
void airport_counts(benchmark::internal::Benchmark* b);
