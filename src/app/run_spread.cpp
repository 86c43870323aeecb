#include "app/run_spread.h"

#include <algorithm>

#include "app/passes.h"
#include "base/format.h"
#include "base/median.h"
#include "pass/summary.h"

namespace spherebench {

namespace {

template <typename T>
std::vector<T> sorted(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values;
}

std::string ticks_row(const char* label, const std::vector<int32_t>& ticks) {
    const std::vector<int32_t> s = sorted(ticks);
    return printf_string("%-27s%8d%11d%11d\n", label, s.front(), lower_middle(s), s.back());
}

}  // namespace

int32_t median_ticks(std::vector<int32_t> ticks) { return median(std::move(ticks)); }

std::string format_spread(const PassRuns& runs) {
    std::vector<double> relative;
    for (size_t i = 0; i < runs.cdc.size(); ++i)
        relative.push_back(relative_time(pass_time(runs.cdc[i]), pass_time(runs.latlong[i])));
    relative = sorted(relative);
    const char* rule = "-----------------------------------------------------------\n";
    const std::string title = printf_string("Spread of %zu runs:", runs.cdc.size());
    return printf_string("%-27s%8s%11s%11s\n", title.c_str(), "fastest", "median", "slowest") + rule +
           ticks_row("Concise direction cosines:", runs.cdc) + ticks_row("Latitude/longitude:", runs.latlong) +
           printf_string("%-27s%8.3f%11.3f%11.3f\n", "Relative (CDC/lat-long):", relative.front(),
                         lower_middle(relative), relative.back()) +
           rule;
}

}  // namespace spherebench
