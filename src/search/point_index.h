// An exact index over unit vectors held as three doubles, as s2geometry's
// S2Point holds them: sorted by face (the largest component and its sign)
// and, on each face, into a k-d tree by the other two components, each node
// bounding all three (face_tree.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"
#include "method/result_sets.h"
#include "search/face_index.h"

namespace spherebench {

class S2PointIndex {
  public:
    using Records = ComponentArrays<double>;
    using Query = UnitVector;
    static constexpr ScoreOrder kOrder = ScoreOrder::kSmallerNearer;

    // The table must outlive the index only for score_at.
    S2PointIndex(ComponentArrays<double> points, int count);

    // The smallest squared chord ((ax - px)^2 + (ay - py)^2) + (az - pz)^2,
    // each operation rounded as written, and its index, the lowest among
    // equal scores; {kNoWinner, infinity} when the table is empty:
    // S2PointBruteVector's answer, bit for bit. A node is skipped when its
    // bound on the score, the same ordered sum of the squared gaps to its box
    // in each component, or the bound of the sphere over the box
    // (sphere_bound.h), lies beyond the results' reach.
    Nearest nearest(UnitVector point) const;
    template <typename Results>
    void find(UnitVector point, Results& results) const;
    double score_at(UnitVector point, int32_t index) const;

    size_t bytes() const;

  private:
    ComponentArrays<double> table_;
    FaceIndex index_;
    std::vector<double> xs_, ys_, zs_;  // leaf after leaf
    std::vector<int32_t> indices_;      // each vector's index in the table
};

SPHEREBENCH_SEARCH_TYPE(kS2PointIndex, S2PointIndex);

}  // namespace spherebench
