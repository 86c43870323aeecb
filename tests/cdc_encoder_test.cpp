#include "geo/cdc_encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

using namespace spherebench;

namespace {

int32_t word(uint32_t w) { return static_cast<int32_t>(w); }

// A decoded stored cosine is the exact cell centre times the double nearest
// 1/2147483640, rounded: within half a field unit of the value plus 2^-52.
constexpr double kStoredTolerance = kHalfFieldUnit + 0x1p-52;
// The whole decoded vector: the pair's bound of sqrt(6) half units (see
// geo/coords.h), with the same slack for rounding.
constexpr double kVectorTolerance = kCdcPairBound + 0x1p-50;

UnitVector normalized(double x, double y, double z) {
    const double n = std::sqrt(x * x + y * y + z * z);
    return {x / n, y / n, z / n};
}

double distance(UnitVector a, UnitVector b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

// The largest error of a round trip over the two stored components (the
// major component is the one of largest magnitude, so the other two are those
// the decoder reads from the fields), and the distance of the whole vector.
struct RoundTripError {
    double stored;
    double vector;
};

RoundTripError round_trip_error(UnitVector v) {
    const UnitVector d = decode_cdc(encode_cdc(v));
    const double ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
    const bool major_z = az >= ax && az >= ay, major_y = !major_z && ay >= ax, major_x = !major_z && !major_y;
    double stored = 0;
    if (!major_x) stored = std::fmax(stored, std::fabs(d.x - v.x));
    if (!major_y) stored = std::fmax(stored, std::fabs(d.y - v.y));
    if (!major_z) stored = std::fmax(stored, std::fabs(d.z - v.z));
    return {stored, distance(d, v)};
}

void expect_round_trip(UnitVector v) {
    const RoundTripError error = round_trip_error(v);
    if (error.stored <= kStoredTolerance && error.vector <= kVectorTolerance) return;
    ADD_FAILURE() << std::hexfloat << "(" << v.x << ", " << v.y << ", " << v.z << "): stored components off by "
                  << error.stored << ", vector by " << error.vector;
}

// Values from exact rational arithmetic in Python: floor(c * 536870910) for
// the doubles just below and at or above k / 536870910.
TEST(CosineFieldCode, IsTheExactFloorOnBothSidesOfCellBoundaries) {
    struct Case {
        double c;
        int32_t code;
    };
    const Case cases[] = {
        {0.0, 0},
        {-0.0, 0},
        {5e-324, 0},
        {-5e-324, -1},
        {0x1p-40, 0},
        {-0x1p-40, -1},
        {1.862645156169851e-09, 0},
        {1.8626451561698513e-09, 1},
        {-1.8626451561698513e-09, -2},
        {-1.862645156169851e-09, -1},
        {2.299435445291681e-05, 12344},
        {2.2994354452916813e-05, 12345},
        {0.49999999999999994, 268435454},
        {0.5, 268435455},  // exactly on a boundary: the upper cell
        {0.1, 53687091},
        {-0.1, -53687092},
        {1.0 / 3.0, 178956969},
        {-1.0 / 3.0, -178956970},
        {0.9999999981373547, 536870908},
        {0.9999999981373549, 536870909},
        {0.9999999999999999, 536870909},
        {1.0, 536870910},
        {-1.0, -536870910},
        {-1.0000000000000002, -536870911},
    };
    for (const Case& c : cases) EXPECT_EQ(cosine_field_code(c.c), c.code) << std::hexfloat << c.c;
}

TEST(CosineFieldCode, ClampsToTheEndsOfTheField) {
    EXPECT_EQ(cosine_field_code(1.0000000037252903), 536870911);  // the top code itself
    EXPECT_EQ(cosine_field_code(1.5), 536870911);
    EXPECT_EQ(cosine_field_code(-1.5), -536870912);
    EXPECT_EQ(cosine_field_code(1e300), 536870911);
    EXPECT_EQ(cosine_field_code(-INFINITY), -536870912);
}

// The code's cell holds c: code <= c * 536870910 < code + 1, checked by the
// sign of fma's exactly computed difference, independently of the encoder.
TEST(CosineFieldCode, PicksTheCellHoldingTheValueForRandomCosines) {
    const uint64_t seed = 20261207;
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> cosine(-1.0, 1.0);
    for (int i = 0; i < 1000000; ++i) {
        const double c = cosine(random);
        const double code = cosine_field_code(c);
        ASSERT_GE(std::fma(c, 536870910.0, -code), 0.0) << std::hexfloat << c << " seed " << seed;
        ASSERT_LT(std::fma(c, 536870910.0, -(code + 1)), 0.0) << std::hexfloat << c << " seed " << seed;
    }
}

// The six flag cases, first at the axes (as the decoder's layout defines
// them), then off the axes with both stored components non-zero (words from
// exact arithmetic in Python).
TEST(EncodeCdc, SetsTheFlagsAndStoresTheOtherTwoComponentsAsTheDecoderReadsThem) {
    struct Case {
        UnitVector v;
        uint32_t first, second;
    };
    const Case cases[] = {
        {{1, 0, 0}, 0, 0},
        {{-1, 0, 0}, 0x40000000, 0},
        {{0, 1, 0}, 0, 0x40000000},
        {{0, -1, 0}, 0x40000000, 0x40000000},
        {{0, 0, 1}, 0, 0x80000000},
        {{0, 0, -1}, 0x40000000, 0x80000000},
        {{0.36, 0.48, 0.8}, 0x0f5c28f4, 0xb47ae148},
        {{0.36, 0.48, -0.8}, 0x4f5c28f4, 0x8b851eb7},
        {{0.48, 0.8, -0.36}, 0x30a3d70b, 0x747ae148},
        {{0.48, -0.8, -0.36}, 0x4f5c28f4, 0x747ae148},
        {{0.8, -0.36, 0.48}, 0x347ae148, 0x0f5c28f4},
        {{-0.8, -0.36, 0.48}, 0x4b851eb7, 0x0f5c28f4},
    };
    for (const Case& c : cases) {
        const CdcPair pair = encode_cdc(c.v);
        EXPECT_EQ(pair.first, word(c.first)) << c.v.x << " " << c.v.y << " " << c.v.z;
        EXPECT_EQ(pair.second, word(c.second)) << c.v.x << " " << c.v.y << " " << c.v.z;
        expect_round_trip(c.v);
    }
}

TEST(EncodeCdc, RoundTripsTheEdges) {
    // Axes and their neighbours, equal magnitudes (where the major axis is a
    // tie) and stored components on or beside cell boundaries.
    const double boundary_values[] = {0.0,
                                      -0.0,
                                      1.8626451561698513e-09,
                                      1.862645156169851e-09,
                                      -1.8626451561698513e-09,
                                      0.5,
                                      0.49999999999999994,
                                      -0.5,
                                      0.7071067811865475,
                                      -0.7071067811865476,
                                      0.57735026918962573};
    for (int axis = 0; axis < 3; ++axis)
        for (double sign : {1.0, -1.0})
            for (double a : boundary_values)
                for (double b : boundary_values) {
                    const double major = sign * std::sqrt(std::fmax(0.0, 1.0 - a * a - b * b));
                    if (axis == 0) expect_round_trip({major, a, b});
                    if (axis == 1) expect_round_trip({a, major, b});
                    if (axis == 2) expect_round_trip({a, b, major});
                }
    expect_round_trip(normalized(1, 1, 1));
    expect_round_trip(normalized(-1, 1, -1));
    expect_round_trip(normalized(1, -1, 0));
    expect_round_trip(normalized(0, 1, -1));
}

TEST(EncodeCdc, RoundTripsRandomDirections) {
    const uint64_t seed = 20261208;
    std::mt19937_64 random(seed);
    std::normal_distribution<double> gauss;
    for (int i = 0; i < 1000000; ++i) {
        const UnitVector v = normalized(gauss(random), gauss(random), gauss(random));
        expect_round_trip(v);
        if (HasFailure()) FAIL() << "seed " << seed;
    }
}

// The bound is nearly reached where all three components are equal.
TEST(EncodeCdc, WorstCaseErrorIsNearTheStatedBound) {
    double worst = 0;
    for (int i = -1000; i <= 1000; ++i) {
        const double e = i * 1e-9;
        const UnitVector v = normalized(1 + e, 1 - e, 1 + 2 * e);
        worst = std::fmax(worst, distance(decode_cdc(encode_cdc(v)), v));
    }
    EXPECT_LE(worst, kVectorTolerance);
    EXPECT_GT(worst, 0.75 * kVectorTolerance);
}

TEST(VectorFromDegrees, PointsAtTheAxes) {
    const UnitVector north = vector_from_degrees(90, 0);
    EXPECT_NEAR(north.z, 1.0, 1e-16);
    const UnitVector east = vector_from_degrees(0, 90);
    EXPECT_EQ(east.z, 0.0);
    EXPECT_NEAR(east.y, 1.0, 1e-16);
    const LatLong back = vector_to_latlong(vector_from_degrees(19.0886993408, 72.8678970337));
    EXPECT_NEAR(back.lat * kDegreesPerRadian, 19.0886993408, 1e-13);
    EXPECT_NEAR(back.lon * kDegreesPerRadian, 72.8678970337, 1e-13);
}

}  // namespace
