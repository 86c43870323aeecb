// The suite's limits: the one reading of SPHEREBENCH_SCALE_MAX, which refuses
// every value that names no table size rather than running the default, and
// the figures refused as faster than reading the table.
#include <gtest/gtest.h>

#include <string>

#include "suite/reach.h"
#include "suite/table_sizes.h"

using namespace spherebench;

namespace {

TEST(LargestSize, DecimalDigitsFromTheSmallestSizeUp) {
    EXPECT_EQ(parse_largest_size(nullptr).size, 1 << 20);
    EXPECT_TRUE(parse_largest_size(nullptr).error.empty());
    EXPECT_EQ(parse_largest_size("").size, 1 << 20);
    EXPECT_TRUE(parse_largest_size("").error.empty());
    for (const auto& [text, size] : {std::pair{"1024", 1024},
                                     {"14000", 14000},
                                     {"16777216", 16777216},
                                     {"2147483647", 2147483647},
                                     {"0016384", 16384}}) {
        const LargestSize largest = parse_largest_size(text);
        EXPECT_EQ(largest.size, size) << text;
        EXPECT_TRUE(largest.error.empty()) << text;
    }
}

TEST(LargestSize, AnythingElseIsAnErrorNamingTheValue) {
    for (const char* text :
         {"1023", "0", "-5", "+2048", " 2048", "2048 ", "1e6", "0x400", "abc", "2147483648", "99999999999999999999"}) {
        const LargestSize largest = parse_largest_size(text);
        EXPECT_EQ(largest.error.rfind("SPHEREBENCH_SCALE_MAX=\"" + std::string(text) + "\" is not a table size", 0), 0u)
            << largest.error;
        EXPECT_EQ(largest.size, 1 << 20) << text;
    }
}

TEST(TableSizes, TheProgramsCapacityAndPowersOfFour) {
    EXPECT_TRUE(headline_size(14000));
    EXPECT_TRUE(headline_size(1 << 20));
    EXPECT_TRUE(headline_size(1 << 24));
    EXPECT_FALSE(headline_size(1 << 18));
    EXPECT_FALSE(headline_size(16384));
    int below = 0;
    for (const int size : kTableSizes) EXPECT_LT(below, size), below = size;
}

// 1000 reads of a 1 MB table take at least 1e-3 s at 1e12 bytes a second.
TEST(Reach, AScanCannotBeFasterThanReadingItsTable) {
    EXPECT_EQ(unreachable_reads(1e-3, 1000, 1e6), "");
    EXPECT_EQ(unreachable_reads(2e-3, 1000, 1e6), "");
    const std::string refusal = unreachable_reads(0.5e-3, 1000, 1e6);
    EXPECT_EQ(refusal.rfind("refused: 5e-07 s a read of a 1000000-byte table (1000 reads in 0.0005 s)", 0), 0u)
        << refusal;
    EXPECT_NE(refusal.find("1000 GB/s"), std::string::npos) << refusal;
}

}  // namespace
