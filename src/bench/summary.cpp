#include "bench/summary.h"

#include "base/format.h"

namespace spherebench {

namespace {
double rate(int32_t tests, PassTime pass) { return pass.ticks != 0 ? static_cast<double>(tests) / pass.seconds : 0.0; }
double relative(PassTime pass, PassTime other) {
    return other.ticks != 0 ? static_cast<double>(pass.ticks) / static_cast<double>(other.ticks) : -1.0;
}
}  // namespace

std::string format_summary(int32_t tests, PassTime cdc, PassTime latlong) {
    const char* rule = "-----------------------------------------------------------\n";
    return std::string("Reporting:            clock-ticks tests/second  (relative)\n") + rule +
           printf_string("Concise direction cosines: %6d   %8.0f  (1.000 %.3f)\n", cdc.ticks, rate(tests, cdc),
                         relative(cdc, latlong)) +
           printf_string("Latitude/longitude:        %6d   %8.0f  (%.3f 1.000)\n", latlong.ticks, rate(tests, latlong),
                         relative(latlong, cdc)) +
           rule;
}

}  // namespace spherebench
