#include "pass/report.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "method/latlong_method.h"
#include "pass/clock.h"

using namespace spherebench;

namespace {

TEST(Duration, PrintsHoursMinutesAndMilliseconds) {
    EXPECT_EQ(format_duration(0.0), "[Duration 0:00:00.000]\n\n");
    EXPECT_EQ(format_duration(ticks_to_seconds(1234)), "[Duration 0:00:01.234]\n\n");
    EXPECT_EQ(format_duration(ticks_to_seconds(60000)), "[Duration 0:01:00.000]\n\n");
    EXPECT_EQ(format_duration(ticks_to_seconds(3723456)), "[Duration 1:02:03.456]\n\n");
    EXPECT_EQ(format_duration(ticks_to_seconds(36000000)), "[Duration 10:00:00.000]\n\n");
}

TEST(Duration, ReciprocalsAgreeWithIntegerDivisionUpToTenHours) {
    for (int32_t ms = 0; ms <= 36000000; ++ms) {
        const DurationParts parts = split_duration(ticks_to_seconds(ms));
        if (parts.hours != ms / 3600000 || parts.minutes != ms / 60000 % 60)
            FAIL() << ms << " ms gives " << parts.hours << ":" << parts.minutes;
    }
}

TEST(ResultList, CollapsesOnlyConsecutiveRepeats) {
    AirportTable airports;
    airports.fixed[0] = {536870910, -1073741820};  // pi/4, -pi/2
    airports.names[0] = "Alpha";
    airports.fixed[1] = {0, 2147483640};  // 0, pi
    airports.names[1] = "Bravo field";
    airports.count = 2;
    WinnerTable winners;
    winners.airport[0] = 0;
    winners.airport[1] = 0;
    winners.airport[2] = 1;
    winners.airport[3] = 0;
    EXPECT_EQ(format_result_list<LatLongMethod>(airports, winners, 4),
              "  1  45.00000  -90.00000 Alpha\n"
              "  2   0.00000  180.00000 Bravo field\n"
              "  3  45.00000  -90.00000 Alpha\n");
    EXPECT_EQ(format_result_list<LatLongMethod>(airports, winners, 0), "");
}

}  // namespace
