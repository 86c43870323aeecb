#include "suite/table_sizes.h"

#include <climits>
#include <cstdlib>
#include <string_view>

namespace spherebench {

LargestSize parse_largest_size(const char* text) {
    LargestSize largest;
    if (text == nullptr || *text == '\0') return largest;
    const std::string_view digits(text);
    long long value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9' || value > INT_MAX) {
            value = -1;
            break;
        }
        value = value * 10 + (c - '0');
    }
    if (value >= kTableSizes[0] && value <= INT_MAX) {
        largest.size = static_cast<int>(value);
        return largest;
    }
    largest.error = "SPHEREBENCH_SCALE_MAX=\"" + std::string(digits) +
                    "\" is not a table size: the largest count of locations to register, in decimal digits, from " +
                    std::to_string(kTableSizes[0]) + " to " + std::to_string(INT_MAX) +
                    " (unset: " + std::to_string(kDefaultLargestSize) + ")";
    return largest;
}

const LargestSize& largest_table_size() {
    static const LargestSize largest = parse_largest_size(std::getenv("SPHEREBENCH_SCALE_MAX"));
    return largest;
}

std::vector<int> table_sizes() {
    std::vector<int> sizes;
    for (const int size : kTableSizes)
        if (size <= largest_table_size().size) sizes.push_back(size);
    return sizes;
}

}  // namespace spherebench
