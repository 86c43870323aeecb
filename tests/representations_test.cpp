// Each of the other stored forms reads a direction back within the bound its
// header states, and each search keeps the nearest airport, the first of
// equals.
#include "forms/representations.h"

#include <gtest/gtest.h>
#include <s2/s2metrics.h>

#include <cmath>
#include <random>

#include "geo/reference_geometry.h"

using namespace spherebench;

namespace {

TEST(Representations, CellIdBoundCoversTheLeafDiagonal) {
    EXPECT_GE(kCellIdBound, S2::kMaxDiag.GetValue(S2CellId::kMaxLevel));
}

// Random directions (seed printed on failure) and the axes, with the poles
// and the antimeridian's two signs of zero.
TEST(Representations, RoundTripsWithinTheirBounds) {
    constexpr uint64_t seed = 20261207;
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<UnitVector> directions = {{1, 0, 0},  {-1, 0, 0}, {-1, -0.0, 0}, {0, 1, 0},
                                          {0, -1, 0}, {0, 0, 1},  {0, 0, -1},    {-1, 0, -0.0}};
    while (directions.size() < 200000) {
        const double x = uniform(random), y = uniform(random), z = uniform(random);
        const double n = std::sqrt(x * x + y * y + z * z);
        if (n > 0.1 && n <= 1) directions.push_back({x / n, y / n, z / n});
    }
    for (UnitVector v : directions) {
        const PreciseVector source = precise_vector(v);
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", direction " << v.x << " " << v.y << " " << v.z);
        EXPECT_LE(angle_between(precise_vector(direction_of(cell_id_of(v))), source), kCellIdBound);
        const UnitVector s2 = direction_of(s2_point_of(v));
        EXPECT_TRUE(s2.x == v.x && s2.y == v.y && s2.z == v.z);
        EXPECT_LE(angle_between(precise_vector(latlong_of(v)), source), kLatLongBound);
        EXPECT_LE(angle_between(precise_vector(direction_of(float_vector_of(v))), source), kFloatVectorBound);
        if (HasFailure()) return;
    }
}

// Airports: far, near, the same near one again, nearer than far. The first
// near one wins in every form; no airports, no winner.
TEST(Representations, SearchesKeepTheFirstNearest) {
    const UnitVector far{0, 1, 0}, near{0.6, 0, 0.8}, other{0, 0.6, 0.8}, point{0.6, 0.1, 0.79372539331937720};
    const UnitVector airports[] = {far, near, near, other};
    auto winner = [&](auto make, auto search) {
        std::vector<decltype(make(far))> stored;
        for (UnitVector a : airports) stored.push_back(make(a));
        EXPECT_EQ(search(stored.data(), 0, make(point)), -1);
        return search(stored.data(), 4, make(point));
    };
    auto by_cell_ids = [](const S2CellId* a, int n, S2CellId p) { return nearest_by_cell_ids(a, n, p.ToPoint()); };
    EXPECT_EQ(winner(cell_id_of, by_cell_ids), 1);
    EXPECT_EQ(winner(s2_point_of, nearest_by_s2_points), 1);
    EXPECT_EQ(winner(latlong_of, nearest_by_haversine), 1);
    EXPECT_EQ(winner(float_vector_of, nearest_by_float_vectors), 1);
}

}  // namespace
