#include "suite/suite.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/json_text.h"
#include "bench/catalogue_json.h"
#include "random/random_tables.h"

namespace spherebench {

const SuiteTables& suite_tables() {
    static const SuiteTables* made = [] {
        auto* t = new SuiteTables;
        fill_random_airports(t->airports, kAirportCapacity, kAirportSeed);
        fill_random_flight_line(t->flight_line, kSuitePoints, kFlightLineSeed);
        return t;
    }();
    return *made;
}

namespace {
std::vector<SuiteCheck>& checks() {
    static std::vector<SuiteCheck> registered;
    return registered;
}
}  // namespace

bool register_check(SuiteCheck check) {
    checks().push_back(check);
    return true;
}

void report_check_figure(const std::string& label, const std::string& key, const std::string& figure) {
    std::fprintf(stderr, "%s: %s\n", label.c_str(), figure.c_str());
    benchmark::AddCustomContext(key, figure);
}

bool run_checks() {
    bool passed = true;
    for (SuiteCheck check : checks()) passed = check() && passed;
    return passed;
}

void describe_suite() {
    std::vector<std::string> counts;
    for (int n : kSuiteAirportCounts) counts.push_back(std::to_string(n));
    benchmark::AddCustomContext("catalogue", catalogue_json());
    benchmark::AddCustomContext("suite_tables", json_object({{"airport_counts", json_array(counts)},
                                                             {"points", std::to_string(kSuitePoints)}}));
}

// Tests per second, inverted: seconds per test.
void count_tests(benchmark::State& state, double tests_per_iteration) {
    state.counters["per_test"] = benchmark::Counter(
        tests_per_iteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void with_minimum(benchmark::internal::Benchmark* b) {
    b->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

void airport_counts(benchmark::internal::Benchmark* b) {
    with_minimum(b);
    for (int n : kSuiteAirportCounts) b->Arg(n);
    b->ArgName("airports")->Unit(benchmark::kMillisecond);
}

}  // namespace spherebench
