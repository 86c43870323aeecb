// The benchmark's clock: milliseconds of elapsed wall-clock time since the
// program started, as a signed 32-bit count of ticks.
#pragma once

#include <cstdint>

namespace spherebench {

int32_t clock_ticks();

// Seconds are always ticks times 0.001.
inline double ticks_to_seconds(int32_t ticks) { return ticks * 0.001; }

}  // namespace spherebench
