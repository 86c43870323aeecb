// The figures of one run of the benchmark suite that representations-report
// prints, as benchmarks/suite_results.py writes them from the suite's JSON
// (`suite_results.py figures RESULTS.json`): the suite's results are read in
// that one place, and this reads only its simple lines.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace spherebench {

struct SuiteFigures {
    int repetitions = 0;
    double widest_spread = 0;                       // the largest coefficient of variation
    std::map<std::string, double> median_per_test;  // benchmark run name -> seconds per test
    std::map<std::string, std::string> context;     // the run's context, as text
    std::vector<double> load_averages;              // at the start of the run
};

// Reads the lines of `suite_results.py figures`, each tab-separated:
//   repetitions N | widest_spread CV | median NAME SECONDS | context KEY VALUE
//   | load_avg A B C
// Lines of any other kind are passed over. The failure names the line.
std::optional<std::string> parse_suite_figures(const std::string& text, SuiteFigures& figures);

// The context's value of `key`, or `otherwise` where the run did not record it.
std::string context_or(const SuiteFigures& figures, const std::string& key, const std::string& otherwise);

}  // namespace spherebench
