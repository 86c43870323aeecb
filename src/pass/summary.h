// The closing table: per method its clock ticks, proximity tests per second
// and its time relative to the other method.
#pragma once

#include <cstdint>
#include <string>

#include "pass/pass.h"

namespace spherebench {

// Proximity tests per second of a pass; 0 for a pass of 0 ticks.
double tests_per_second(int32_t tests, PassTime pass);

// A pass's ticks over the other's; -1 when the other took 0 ticks.
double relative_time(PassTime pass, PassTime other);

// A pass of 0 ticks shows a rate of 0 in its own row and a relative time of
// -1.000 in the other. Each method's rate is of its own tests: the same
// count for both where every location is tested.
std::string format_summary(int32_t cdc_tests, int32_t latlong_tests, PassTime cdc, PassTime latlong);

}  // namespace spherebench
