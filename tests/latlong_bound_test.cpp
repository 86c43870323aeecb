// The bounds the scalar lat/long searches skip locations by: the latitude
// read back from the point's radians, even at the ends of the int32 words.
#include "search/latlong_bound.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "geo/coords.h"

using namespace spherebench;

namespace {

// Latitudes at the ends of the int32 words lie far beyond the poles: no
// latitude within the poles gives their radians, so no window stands on
// them. Those within the poles are read back exactly, the poles included.
TEST(LatLongBound, FixedLatitudeOfTheInt32Extremes) {
    for (const int32_t lat : {INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1, kFixedPoleLatitude + 1})
        EXPECT_EQ(fixed_latitude_of(fixed_to_angle(lat)), std::nullopt) << lat;
    for (const int32_t lat : {kFixedPoleLatitude, -kFixedPoleLatitude, 0, -1, 123456789})
        EXPECT_EQ(fixed_latitude_of(fixed_to_angle(lat)), lat) << lat;
}

}  // namespace
