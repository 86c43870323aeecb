#include "geo/great_circle.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geo/cdc_encoder.h"

using namespace spherebench;

namespace {

TEST(GreatCirclePoints, AreEvenlySpacedOnTheArcWithExactEnds) {
    const UnitVector a = vector_from_degrees(19.0886993408, 72.8678970337);
    const UnitVector b = vector_from_degrees(33.942501, -118.407997);
    const std::vector<UnitVector> points = great_circle_points(a, b, 1000);
    ASSERT_EQ(points.size(), 1000u);
    EXPECT_EQ(points.front().x, a.x);
    EXPECT_EQ(points.front().y, a.y);
    EXPECT_EQ(points.front().z, a.z);
    EXPECT_EQ(points.back().x, b.x);
    EXPECT_EQ(points.back().y, b.y);
    EXPECT_EQ(points.back().z, b.z);

    const UnitVector normal = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    const double step = angle_between(a, b) / 999;
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(dot(points[i], points[i]), 1.0, 1e-15) << i;
        EXPECT_NEAR(dot(points[i], normal), 0.0, 1e-15) << i;  // in the plane of the arc
        if (i > 0) {
            EXPECT_NEAR(angle_between(points[i - 1], points[i]), step, 1e-14) << i;
        }
    }
}

TEST(GreatCirclePoints, TwoPointsAreTheEnds) {
    const UnitVector a = vector_from_degrees(0, 0), b = vector_from_degrees(0, 90);
    const std::vector<UnitVector> points = great_circle_points(a, b, 2);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].x, 1.0);
    EXPECT_EQ(points[1].y, 1.0);
}

TEST(ArcIsDefined, NotForEqualOrOppositeEnds) {
    const UnitVector a = vector_from_degrees(10, 20);
    EXPECT_FALSE(arc_is_defined(a, a));
    EXPECT_FALSE(arc_is_defined(a, vector_from_degrees(-10, -160)));
    EXPECT_TRUE(arc_is_defined(a, vector_from_degrees(10, 20.001)));  // about 110 m apart
    EXPECT_TRUE(arc_is_defined(a, vector_from_degrees(-10, -159.999)));
}

}  // namespace
