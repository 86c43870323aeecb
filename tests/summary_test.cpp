#include "bench/summary.h"

#include <gtest/gtest.h>

using namespace spherebench;

namespace {

PassTime pass_of(int32_t ticks) { return {ticks, ticks_to_seconds(ticks)}; }

const char* const kHead =
    "Reporting:            clock-ticks tests/second  (relative)\n"
    "-----------------------------------------------------------\n";
const char* const kRule = "-----------------------------------------------------------\n";

TEST(Summary, RowsShowTicksRatesAndRelativeTimes) {
    EXPECT_EQ(format_summary(60, pass_of(200), pass_of(800)),
              std::string(kHead) +
                  "Concise direction cosines:    200        300  (1.000 0.250)\n"
                  "Latitude/longitude:           800         75  (4.000 1.000)\n" +
                  kRule);
}

TEST(Summary, ZeroTicksGiveRateZeroAndRelativeMinusOne) {
    EXPECT_EQ(format_summary(12, pass_of(0), pass_of(5)),
              std::string(kHead) +
                  "Concise direction cosines:      0          0  (1.000 0.000)\n"
                  "Latitude/longitude:             5       2400  (-1.000 1.000)\n" +
                  kRule);
    EXPECT_EQ(format_summary(0, pass_of(0), pass_of(0)),
              std::string(kHead) +
                  "Concise direction cosines:      0          0  (1.000 -1.000)\n"
                  "Latitude/longitude:             0          0  (-1.000 1.000)\n" +
                  kRule);
}

TEST(Summary, WideNumbersWidenTheirFields) {
    EXPECT_EQ(format_summary(14000000, pass_of(1234567), pass_of(1)),
              std::string(kHead) +
                  "Concise direction cosines: 1234567      11340  (1.000 1234567.000)\n"
                  "Latitude/longitude:             1   14000000000  (0.000 1.000)\n" +
                  kRule);
}

}  // namespace
