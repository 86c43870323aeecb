#include "pass/summary.h"

#include "base/format.h"

namespace spherebench {

double tests_per_second(int32_t tests, PassTime pass) {
    return pass.ticks != 0 ? static_cast<double>(tests) / pass.seconds : 0.0;
}

double relative_time(PassTime pass, PassTime other) {
    return other.ticks != 0 ? static_cast<double>(pass.ticks) / static_cast<double>(other.ticks) : -1.0;
}

std::string format_summary(int32_t cdc_tests, int32_t latlong_tests, PassTime cdc, PassTime latlong) {
    const char* rule = "-----------------------------------------------------------\n";
    return std::string("Reporting:            clock-ticks tests/second  (relative)\n") + rule +
           printf_string("Concise direction cosines: %6d   %8.0f  (1.000 %.3f)\n", cdc.ticks,
                         tests_per_second(cdc_tests, cdc), relative_time(cdc, latlong)) +
           printf_string("Latitude/longitude:        %6d   %8.0f  (%.3f 1.000)\n", latlong.ticks,
                         tests_per_second(latlong_tests, latlong), relative_time(latlong, cdc)) +
           rule;
}

}  // namespace spherebench
