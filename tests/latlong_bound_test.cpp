// The bounds the scalar lat/long searches skip locations by: none may skip a
// location at its own score, which could tie or win, wherever the two lie
// (side by side, across a pole, across the fold of the longitudes, at the
// ends of the int32 words); and the latitude read back from the point's
// radians, even at those ends.
#include "search/latlong_bound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <random>

#include "geo/coords.h"
#include "geo/vectors.h"
#include "method/latlong_method.h"

using namespace spherebench;

namespace {

constexpr int32_t kHalfTurn = 2147483640;

// A word within 2^spread (spread at most 31) of centre, wrapping as the
// int32 words do.
int32_t within(int32_t centre, int spread, std::mt19937_64& random) {
    const uint64_t step = random() % (uint64_t{2} << spread) - (uint64_t{1} << spread);
    return static_cast<int32_t>(static_cast<uint32_t>(centre) + static_cast<uint32_t>(step));
}

// The point of case i: anywhere within the poles, or near a pole, or at an
// end of the words; its longitude any word, or near the fold.
FixedLatLong point_of_case(int i, std::mt19937_64& random) {
    FixedLatLong p = {static_cast<int32_t>(random() % (2 * uint64_t{kFixedPoleLatitude} + 1)) - kFixedPoleLatitude,
                      static_cast<int32_t>(random())};
    if (i % 5 == 0) p.lat = within(i % 10 ? kFixedPoleLatitude : -kFixedPoleLatitude, i % 31, random);
    if (i % 11 == 0) p.lat = i % 22 ? INT32_MAX : INT32_MIN;
    if (i % 3 == 0) p.lon = within(i % 6 ? kHalfTurn : -kHalfTurn, i % 24, random);
    return p;
}

// A location at some distance from p at every scale: on its meridian (where
// the score falls with the latitude alone), on the opposite one (across a
// pole), anywhere, at the ends of the words, or p itself.
FixedLatLong location_of_case(int i, FixedLatLong p, std::mt19937_64& random) {
    const int32_t lat = within(p.lat, static_cast<int>(random() % 32), random);
    switch (i % 6) {
        case 0:
            return {lat, p.lon};
        case 1:
            return {lat, within(p.lon, static_cast<int>(random() % 12), random)};
        case 2:
            return {lat, within(static_cast<int32_t>(static_cast<uint32_t>(p.lon) + kHalfTurn), 4, random)};
        case 3:
            return {lat, within(p.lon, static_cast<int>(random() % 32), random)};
        case 4:
            return {i % 12 ? INT32_MAX : INT32_MIN, i % 24 < 12 ? INT32_MIN : INT32_MAX};
        default:
            return p;
    }
}

double squared_chord(LatLong p, LatLong a) {
    const UnitVector u = vector_of_radians<UnitVector>(p.lat, p.lon), v = vector_of_radians<UnitVector>(a.lat, a.lon);
    const double dx = u.x - v.x, dy = u.y - v.y, dz = u.z - v.z;
    return (dx * dx + dy * dy) + dz * dz;
}

// With the best so far the location's own score, the window around the
// point's latitude holds the location, and the chord limit is no less than
// the squared chord between the two vectors as computed (at least what a
// cell holding the location bounds it by).
TEST(LatLongBound, NoBoundSkipsALocationAtItsOwnScore) {
    std::mt19937_64 random(31);
    for (int i = 0; i < 300000; ++i) {
        const FixedLatLong p = point_of_case(i, random), a = location_of_case(i, p, random);
        const LatLong point = from_fixed(p), location = from_fixed(a);
        const double score = latlong_query_score(latlong_query(point), location);
        if (const std::optional<int32_t> lat = fixed_latitude_of(point.lat)) {
            ASSERT_FALSE(latitude_window(*lat, score).excludes(a.lat))
                << i << ": " << p.lat << " " << p.lon << " to " << a.lat << " " << a.lon;
        }
        ASSERT_LE(squared_chord(point, location), chord_limit(score))
            << i << ": " << p.lat << " " << p.lon << " to " << a.lat << " " << a.lon;
    }
}

// Not vacuous: a best of the cosine of 0.01 radian reaches 0.01 radian
// (2 tan(0.005) by the bound, 1e-5 relative more), and its chord limit is
// the squared chord 2 (1 - cos 0.01) within the margins; at the start of a
// search nothing is ruled out.
TEST(LatLongBound, BoundsAreTight) {
    EXPECT_NEAR(latitude_reach(std::cos(0.01)), 0.01 / kFixedUnitRadians, 1e-7 / kFixedUnitRadians);
    EXPECT_NEAR(chord_limit(std::cos(0.01)), 2 * (1 - std::cos(0.01)), 1e-12);
    const LatitudeWindow window = latitude_window(0, std::cos(0.01));
    EXPECT_TRUE(window.excludes(static_cast<int32_t>(0.0101 / kFixedUnitRadians)));
    EXPECT_TRUE(window.excludes(-static_cast<int32_t>(0.0101 / kFixedUnitRadians)));
    EXPECT_FALSE(latitude_window(0, LatLongMethod::initial_best).excludes(-kFixedPoleLatitude));
    EXPECT_GT(chord_limit(LatLongMethod::initial_best), 4.0);
}

// Latitudes at the ends of the int32 words lie far beyond the poles: no
// latitude within the poles gives their radians, so no window stands on
// them. Those within the poles are read back exactly, the poles included.
TEST(LatLongBound, FixedLatitudeOfTheInt32Extremes) {
    for (const int32_t lat : {INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1, kFixedPoleLatitude + 1})
        EXPECT_EQ(fixed_latitude_of(fixed_to_angle(lat)), std::nullopt) << lat;
    for (const int32_t lat : {kFixedPoleLatitude, -kFixedPoleLatitude, 0, -1, 123456789})
        EXPECT_EQ(fixed_latitude_of(fixed_to_angle(lat)), lat) << lat;
}

// A limit asked of a search may be any double: one above every score (each
// at most 1 + 6.4e-15) rules out every latitude within the poles, while
// those beyond are still scored; the farthest and NaN rule out none.
TEST(LatLongBound, ALimitAboveEveryScoreRulesOutEveryLatitudeWithinThePoles) {
    for (const double best : {1 + 1e-12, 2.0, double{INFINITY}}) {
        EXPECT_EQ(latitude_reach(best), -1) << best;
        const LatitudeWindow window = latitude_window(5, best);
        for (const int32_t lat : {5, 4, 6, kFixedPoleLatitude, -kFixedPoleLatitude})
            EXPECT_TRUE(window.excludes(lat)) << best << " " << lat;
        EXPECT_FALSE(window.excludes(kFixedPoleLatitude + 1)) << best;
    }
    EXPECT_FALSE(latitude_window(5, NAN).excludes(-kFixedPoleLatitude));
    EXPECT_FALSE(latitude_window(5, -INFINITY).excludes(kFixedPoleLatitude));
}

}  // namespace
