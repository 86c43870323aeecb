// The pair's layout table against the words the pair format gives for
// each axis and sign, and the groups of flag cases it makes.
#include "geo/cdc_layout.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace spherebench;

namespace {

TEST(CdcLayout, EachAxisAndSignHasTheWordsOfItsFirstCase) {
    struct Case {
        CdcAxis major;
        bool negative;
        uint32_t first, second;
    };
    const Case cases[] = {
        {kCdcX, false, 0, 0},           {kCdcX, true, 0x40000000u, 0},
        {kCdcY, false, 0, 0x40000000u}, {kCdcY, true, 0x40000000u, 0x40000000u},
        {kCdcZ, false, 0, 0x80000000u}, {kCdcZ, true, 0x40000000u, 0x80000000u},
    };
    for (const Case& c : cases) {
        const CdcPair words = cdc_flag_bits(cdc_case_of(c.major, c.negative));
        EXPECT_EQ(static_cast<uint32_t>(words.first), c.first) << c.major << c.negative;
        EXPECT_EQ(static_cast<uint32_t>(words.second), c.second) << c.major << c.negative;
    }
}

// Axis Z does not read the axis Y bit: 0xC0000000 is the same case as
// 0x80000000 in every way but its index, and in the same group.
TEST(CdcLayout, AxisZIgnoresTheAxisYBit) {
    for (uint32_t negative : {0u, 0x40000000u}) {
        const unsigned with_y = cdc_flag_case({static_cast<int32_t>(negative), static_cast<int32_t>(0xC0000000u)});
        const unsigned without = cdc_flag_case({static_cast<int32_t>(negative), static_cast<int32_t>(0x80000000u)});
        EXPECT_NE(with_y, without);
        EXPECT_EQ(cdc_case_group_of(with_y), cdc_case_group_of(without));
        EXPECT_EQ(kCdcLayout[with_y].v.axis, kCdcLayout[without].v.axis);
        EXPECT_EQ(kCdcLayout[with_y].v.negated, kCdcLayout[without].v.negated);
    }
    // The unread bit 31 of the first word and the fields change no case.
    EXPECT_EQ(cdc_flag_case({static_cast<int32_t>(0xBFFFFFFFu), 0x3FFFFFFF}), 0u);
}

}  // namespace
