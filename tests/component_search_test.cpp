// The vector searches over components, on every Highway target this CPU has:
// the winner of the scalar search of forms/representations.h and its score
// bit for bit, the lowest index on ties wherever the equal scores fall
// (lanes, unrolled vectors, the one-at-a-time rest); and the vector sum.
#include <hwy/tests/hwy_gtest.h>

#include <random>
#include <vector>

#include "forms/representations.h"
#include "vector/component_vector_search.h"

using namespace spherebench;

namespace {

class ComponentSearchTest : public hwy::TestWithParamTarget {};
HWY_TARGET_INSTANTIATE_TEST_SUITE_P(ComponentSearchTest);

std::vector<UnitVector> random_vectors(std::mt19937& random, int count) {
    std::uniform_real_distribution<double> component(-1.0, 1.0);
    std::vector<UnitVector> v(count);
    for (UnitVector& u : v) u = {component(random), component(random), component(random)};
    return v;
}

// The squared chord as the scalar searches write it, in T.
template <typename T>
double chord2(T ax, T ay, T az, T px, T py, T pz) {
    const T dx = ax - px, dy = ay - py, dz = az - pz;
    return (dx * dx + dy * dy) + dz * dz;
}

// Both searches for the point over the first `count` of the table.
void expect_as_scalar(const std::vector<UnitVector>& table, UnitVector p, int count) {
    std::vector<double> xs, ys, zs;
    std::vector<float> fxs, fys, fzs;
    std::vector<S2Point> points;
    std::vector<FloatVector> floats;
    for (UnitVector v : table) {
        xs.push_back(v.x), ys.push_back(v.y), zs.push_back(v.z), points.push_back(s2_point_of(v));
        const FloatVector f = float_vector_of(v);
        fxs.push_back(f.x), fys.push_back(f.y), fzs.push_back(f.z), floats.push_back(f);
    }
    const FloatVector fp = float_vector_of(p);
    const Nearest d = double_components_find_nearest(xs.data(), ys.data(), zs.data(), count, p);
    const Nearest f = float_components_find_nearest(fxs.data(), fys.data(), fzs.data(), count, fp.x, fp.y, fp.z);
    const int32_t scalar_d = nearest_by_s2_points(points.data(), count, s2_point_of(p));
    const int32_t scalar_f = nearest_by_float_vectors(floats.data(), count, fp);
    ASSERT_EQ(d.index, scalar_d) << count;
    ASSERT_EQ(f.index, scalar_f) << count;
    if (count == 0) return;
    const double sd = chord2(xs[scalar_d], ys[scalar_d], zs[scalar_d], p.x, p.y, p.z);
    const double sf = chord2(fxs[scalar_f], fys[scalar_f], fzs[scalar_f], fp.x, fp.y, fp.z);
    ASSERT_TRUE(same_answer(d, {scalar_d, sd})) << count;
    ASSERT_TRUE(same_answer(f, {scalar_f, sf})) << count;
}

TEST_P(ComponentSearchTest, MatchesScalarOnRandomTables) {
    std::mt19937 random(5);
    const std::vector<UnitVector> table = random_vectors(random, 2000);
    std::vector<UnitVector> points = random_vectors(random, 20);
    points.insert(points.end(), table.begin() + 40, table.begin() + 45);  // scores of 0
    for (UnitVector p : points) {
        for (int count = 0; count <= 70; ++count) expect_as_scalar(table, p, count);
        expect_as_scalar(table, p, 2000);
    }
}

// The point's own direction at several places, the rest farther off: the
// first place wins, whichever lane, vector or rest the others fall in.
TEST_P(ComponentSearchTest, EqualScoresGoToTheLowestIndex) {
    const UnitVector p{0.6, 0.0, 0.8}, far{-0.6, 0.0, -0.8};
    for (const std::vector<int>& places : std::vector<std::vector<int>>{{3, 9}, {17, 1}, {31, 32, 64}, {65, 66}}) {
        std::vector<UnitVector> table(67, far);
        for (int j : places) table[j] = p;
        for (int count = 1; count <= 67; ++count) expect_as_scalar(table, p, count);
    }
}

// Sums of 1..n are whole numbers well within a double's exact range.
TEST_P(ComponentSearchTest, SumOfDoubles) {
    std::vector<double> values;
    for (int n = 0; n <= 100; ++n) {
        EXPECT_EQ(vector_sum_of_doubles(values.data(), n), n * (n + 1) / 2.0) << n;
        values.push_back(n + 1);
    }
}

}  // namespace
