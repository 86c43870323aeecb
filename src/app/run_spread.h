// The middle and the spread of repeated runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace spherebench {

struct PassRuns;

// The median of the runs' ticks: the middle one, and of an even count the
// lower of the two middle ones, so that it is always a run that happened.
// The list must not be empty.
int32_t median_ticks(std::vector<int32_t> ticks);

// The block after the summary: per method its fastest, median and slowest
// run in clock ticks, and the lowest, median and highest of the runs'
// relative times (each run's direction-cosine ticks over the
// latitude/longitude ticks of the same turn, -1 where those are 0).
std::string format_spread(const PassRuns& runs);

}  // namespace spherebench
