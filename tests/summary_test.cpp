#include "pass/summary.h"

#include <gtest/gtest.h>

using namespace spherebench;

namespace {

PassTime pass_of(int32_t ticks) { return {ticks, ticks_to_seconds(ticks)}; }

const char* const kHead =
    "Reporting:            clock-ticks tests/second  (relative)\n"
    "-----------------------------------------------------------\n";
const char* const kRule = "-----------------------------------------------------------\n";

// The whole table around its two rows.
std::string table(const char* rows) { return std::string(kHead) + rows + kRule; }

TEST(Summary, RowsShowTicksRatesAndRelativeTimes) {
    struct Case {
        int32_t cdc_tests, latlong_tests, cdc_ticks, latlong_ticks;
        const char* rows;
    };
    const Case cases[] = {
        {60, 60, 200, 800,
         "Concise direction cosines:    200        300  (1.000 0.250)\n"
         "Latitude/longitude:           800         75  (4.000 1.000)\n"},
        // A pass of 0 ticks: rate 0 in its row, relative time -1 in the other.
        {12, 12, 0, 5,
         "Concise direction cosines:      0          0  (1.000 0.000)\n"
         "Latitude/longitude:             5       2400  (-1.000 1.000)\n"},
        {0, 0, 0, 0,
         "Concise direction cosines:      0          0  (1.000 -1.000)\n"
         "Latitude/longitude:             0          0  (-1.000 1.000)\n"},
        // Wide numbers widen their fields; nothing is cut.
        {14000000, 14000000, 1234567, 1,
         "Concise direction cosines: 1234567      11340  (1.000 1234567.000)\n"
         "Latitude/longitude:             1   14000000000  (0.000 1.000)\n"},
        // Searches that skip work: each rate of its own search's scored
        // locations.
        {60, 20, 200, 800,
         "Concise direction cosines:    200        300  (1.000 0.250)\n"
         "Latitude/longitude:           800         25  (4.000 1.000)\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(format_summary(c.cdc_tests, c.latlong_tests, pass_of(c.cdc_ticks), pass_of(c.latlong_ticks)),
                  table(c.rows))
            << c.cdc_ticks << " and " << c.latlong_ticks << " ticks";
}

}  // namespace
