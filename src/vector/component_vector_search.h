// Exact vector searches over unit vectors kept as three arrays of components
// (a struct of arrays, so that a vector load takes one component of several
// locations): in doubles, as s2geometry's S2Point holds them, and in floats.
// Each lane forms the squared chord ((ax - px)^2 + (ay - py)^2) + (az - pz)^2
// with the IEEE operations and the order of the scalar searches of
// forms/representations.h (doubles for S2Point, floats for the float vector),
// so the winner and its score are theirs, bit for bit; the lowest index wins
// among equal scores. Dispatched at run time like cdc_block_search.h.
#pragma once

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "geo/vectors.h"
#include "method/nearest.h"

namespace spherebench {

// The smallest squared chord to the point and its index, the lowest among
// equal scores; {kNoWinner, infinity} when count is 0. A float score is
// returned widened to double (exactly).
Nearest double_components_find_nearest(const double* xs, const double* ys, const double* zs, int count,
                                       UnitVector point);
Nearest float_components_find_nearest(const float* xs, const float* ys, const float* zs, int count, float px, float py,
                                      float pz);

// Every location of the arrays offered to the results (method/result_sets.h)
// with its squared chord to the point, in the lanes' type and order
// (squared_chord): what each lane computes, bit for bit, since a lane rounds
// every operation as the scalar code does.
template <typename T, Vector3 Point, typename Results>
void find_components(ComponentArrays<T> points, int count, Point p, Results& results) {
    for (int j = 0; j < count; ++j) results.add(j, squared_chord(Point{points.xs[j], points.ys[j], points.zs[j]}, p));
}

// Those searches over a table of components, which must outlive them.
class S2PointBruteVector {
  public:
    using Records = ComponentArrays<double>;
    using Query = UnitVector;
    static constexpr ScoreOrder kOrder = ScoreOrder::kSmallerNearer;

    S2PointBruteVector(Records points, int count) : points_(points), count_(count) {}

    Nearest nearest(UnitVector p) const {
        return double_components_find_nearest(points_.xs, points_.ys, points_.zs, count_, p);
    }
    template <typename Results>
    void find(UnitVector p, Results& results) const {
        find_components(points_, count_, p, results);
    }
    size_t bytes() const { return 3 * sizeof(double) * static_cast<size_t>(count_); }

  private:
    Records points_;
    int count_;
};

class FloatBruteVector {
  public:
    using Records = ComponentArrays<float>;
    using Query = FloatVector;
    static constexpr ScoreOrder kOrder = ScoreOrder::kSmallerNearer;

    FloatBruteVector(Records points, int count) : points_(points), count_(count) {}

    Nearest nearest(FloatVector p) const {
        return float_components_find_nearest(points_.xs, points_.ys, points_.zs, count_, p.x, p.y, p.z);
    }
    template <typename Results>
    void find(FloatVector p, Results& results) const {
        find_components(points_, count_, p, results);
    }
    size_t bytes() const { return 3 * sizeof(float) * static_cast<size_t>(count_); }

  private:
    Records points_;
    int count_;
};

SPHEREBENCH_SEARCH_TYPE(kS2PointBruteVector, S2PointBruteVector);
SPHEREBENCH_SEARCH_TYPE(kFloatBruteVector, FloatBruteVector);

// The sum of `count` doubles by vector loads and four independent vector
// sums: every byte read once, at the rate the memory delivers it.
double vector_sum_of_doubles(const double* values, long long count);

}  // namespace spherebench
