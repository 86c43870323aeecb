// The one median: the lower of the two middle values of an even count, the
// middle of an odd one, whatever the order given.
#include "base/median.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace spherebench;

namespace {

TEST(Median, LowerMiddleOfAnEvenCount) {
    EXPECT_EQ(median(std::vector<int32_t>{40, 10, 30, 20}), 20);
    EXPECT_EQ(median(std::vector<double>{2.5, 1.5}), 1.5);
}

TEST(Median, MiddleOfAnOddCountInAnyOrder) {
    EXPECT_EQ(median(std::vector<int32_t>{7}), 7);
    EXPECT_EQ(median(std::vector<int32_t>{9, -3, 5, 5, 1}), 5);
    EXPECT_EQ(lower_middle(std::vector<int32_t>{1, 2, 3}), 2);
}

}  // namespace
