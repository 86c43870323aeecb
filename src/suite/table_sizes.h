// The table sizes of every family of benchmarks that searches tables of many
// sizes (the query and the scale benchmarks): one ladder, cut at the largest
// size the run asks for in SPHEREBENCH_SCALE_MAX.
#pragma once

#include <string>
#include <vector>

#include "input/tables.h"

namespace spherebench {

// Powers of 4 from 2^10 to 2^24, and the program's own capacity.
inline constexpr int kTableSizes[] = {1 << 10, 1 << 12, kAirportCapacity, 1 << 14, 1 << 16,
                                      1 << 18, 1 << 20, 1 << 22,          1 << 24};
// The largest size registered where SPHEREBENCH_SCALE_MAX is not set.
inline constexpr int kDefaultLargestSize = 1 << 20;

// The sizes the documents lead with: the program's capacity, and from the
// default largest on.
constexpr bool headline_size(int size) { return size == kAirportCapacity || size >= kDefaultLargestSize; }

// The largest table size a value of SPHEREBENCH_SCALE_MAX asks for: for no
// value (null or empty), kDefaultLargestSize; else the count it writes in
// decimal digits alone, at least the ladder's smallest size and at most
// INT_MAX (above the ladder's largest, the whole ladder runs). Any other text
// leaves the default and says what is wrong in `error`.
struct LargestSize {
    int size = kDefaultLargestSize;
    std::string error;
};
LargestSize parse_largest_size(const char* text);

// The run's: SPHEREBENCH_SCALE_MAX read once.
const LargestSize& largest_table_size();

// The sizes of the ladder up to the run's largest, smallest first.
std::vector<int> table_sizes();

}  // namespace spherebench
