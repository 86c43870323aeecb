#include "suite.h"

#include "random_tables.h"

const SuiteTables& suite_tables() {
    static const SuiteTables* made = [] {
        auto* t = new SuiteTables;
        fill_random_airports(t->airports, kAirportCapacity, kAirportSeed);
        fill_random_flight_line(t->flight_line, kSuitePoints, kFlightLineSeed);
        return t;
    }();
    return *made;
}

// Tests per second, inverted: seconds per test.
void count_tests(benchmark::State& state, double tests_per_iteration) {
    state.counters["per_test"] = benchmark::Counter(
        tests_per_iteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void airport_counts(benchmark::internal::Benchmark* b) {
    for (int n : kSuiteAirportCounts) b->Arg(n);
    b->ArgName("airports")->Unit(benchmark::kMillisecond);
}
