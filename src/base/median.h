// The one median of the project: of an even count, the lower of the two
// middle values, so that the median is always one of the values itself (a run
// that happened, a shift that was measured), never a mean of two.
#pragma once

#include <algorithm>
#include <vector>

namespace spherebench {

// The lower middle of values already sorted; the list must not be empty.
template <typename T>
T lower_middle(const std::vector<T>& sorted_values) {
    return sorted_values[(sorted_values.size() - 1) / 2];
}

// The median of values in any order; the list must not be empty.
template <typename T>
T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return lower_middle(values);
}

}  // namespace spherebench
