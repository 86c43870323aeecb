// What every benchmark of the suite shares: the random tables it searches at
// the airport counts of random_tables.h, the bundled airports, the per-test
// counter it reports, and the refusal of a figure no search can reach.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "geo/coords.h"
#include "input/tables.h"
#include "random/random_tables.h"

namespace spherebench {

struct SuiteTables {
    AirportTable airports;   // kAirportCapacity random directions
    FlightLine flight_line;  // kSuitePoints random directions
};

// Made once, on first use, from the fixed seeds of random_tables.h.
const SuiteTables& suite_tables();

// The bundled airports (data/airports.csv) as the directions their pairs are
// encoded from (make-inputs' encode_degrees), read once; empty, with the
// fault on standard error, where the list cannot be read.
const std::vector<UnitVector>& bundled_airport_directions();

// A check that part of the suite makes before anything is timed (that its
// searches find what the passes find, say): false, with a message on standard
// error, stops the suite. Each file of benchmarks registers its own checks
// at static initialisation; run_checks runs them all.
using SuiteCheck = bool (*)();
bool register_check(SuiteCheck check);
bool run_checks();

// What a check found, as "label: figure" on standard error and as the
// context entry `key` of the run's report.
void report_check_figure(const std::string& label, const std::string& key, const std::string& figure);

// Where `seconds` is too little time for one thread to read a table of
// `table_bytes` `reads` times (suite/reach.h), skips the benchmark with the
// error that says so and returns true.
bool refuse_unreachable(benchmark::State& state, double seconds, double reads, double table_bytes);

// Puts in the run's context what the documents read beside the figures: the
// catalogue of searches and forms ("catalogue", catalogue/catalogue_json.h) and
// the suite's tables ("suite_tables": {"airport_counts", "points"}), each a
// JSON text.
void describe_suite();

// Reports the counter per_test: CPU seconds per proximity test.
void count_tests(benchmark::State& state, double tests_per_iteration);

// Adds the statistic "min" to the aggregates of repeated runs (of time and of
// per_test): on a shared machine the least time of a loop is its own cost,
// the others add what the machine's other work took from it. Every benchmark
// of the suite applies it.
void with_minimum(benchmark::internal::Benchmark* b);

// Runs a search benchmark at each of kSuiteAirportCounts, with_minimum.
void airport_counts(benchmark::internal::Benchmark* b);

// Times search(airports, i), a search of the first `airports` airports (the
// benchmark's argument) for point i, over every point.
template <typename Search>
void time_searches(benchmark::State& state, Search search) {
    const int airports = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < kSuitePoints; ++i) {
            auto nearest = search(airports, i);
            benchmark::DoNotOptimize(nearest);
        }
    }
    count_tests(state, static_cast<double>(airports) * kSuitePoints);
}

// Times per_airport(j) for every airport j of the table, one test each.
template <typename PerAirport>
void time_per_airport(benchmark::State& state, PerAirport per_airport) {
    for (auto _ : state) {
        for (int j = 0; j < kAirportCapacity; ++j) {
            auto result = per_airport(j);
            benchmark::DoNotOptimize(result);
        }
    }
    count_tests(state, kAirportCapacity);
}

}  // namespace spherebench
