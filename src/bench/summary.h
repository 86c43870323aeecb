// The closing table: per method its clock ticks, proximity tests per second
// and its time relative to the other method.
#pragma once

#include <cstdint>
#include <string>

#include "bench/pass.h"

namespace spherebench {

// A pass of 0 ticks shows a rate of 0 in its own row and a relative time of
// -1.000 in the other.
std::string format_summary(int32_t tests, PassTime cdc, PassTime latlong);

}  // namespace spherebench
