#include "suite/suite.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/json_text.h"
#include "base/whole_file.h"
#include "catalogue/catalogue_json.h"
#include "geo/cdc_encoder.h"
#include "input/input_files.h"
#include "random/random_tables.h"
#include "suite/reach.h"
#include "suite/table_sizes.h"

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

std::vector<UnitVector> read_bundled_airports() {
    std::string csv;
    std::vector<AirportSource> sources;
    std::optional<std::string> failure = read_whole_file(SPHEREBENCH_DATA_DIR "/airports.csv", csv);
    if (!failure) failure = read_airport_list(csv, sources);
    if (failure) {
        std::fprintf(stderr, "the bundled airports: %s\n", failure->c_str());
        return {};
    }
    std::vector<UnitVector> directions;
    for (const AirportSource& s : sources) directions.push_back(vector_from_degrees(s.latitude, s.longitude));
    return directions;
}

std::vector<SuiteCheck>& checks() {
    static std::vector<SuiteCheck> registered;
    return registered;
}

// A value of SPHEREBENCH_SCALE_MAX that names no size stops the run: the
// families registered the default sizes meanwhile.
bool largest_size_readable() {
    const std::string& error = largest_table_size().error;
    if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
    return error.empty();
}
const bool largest_size_checked = register_check(largest_size_readable);

}  // namespace

const std::vector<UnitVector>& bundled_airport_directions() {
    static const std::vector<UnitVector> directions = read_bundled_airports();
    return directions;
}

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

bool refuse_unreachable(benchmark::State& state, double seconds, double reads, double table_bytes) {
    const std::string refusal = unreachable_reads(seconds, reads, table_bytes);
    if (refusal.empty()) return false;
    state.SkipWithError(refusal.c_str());
    return true;
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
