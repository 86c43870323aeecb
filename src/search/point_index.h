// An exact index over unit vectors held as three doubles, as s2geometry's
// S2Point holds them: sorted by face (the largest component and its sign)
// and, on each face, into a grid by the other two components (face_grid.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"
#include "search/face_grid.h"

namespace spherebench {

class S2PointIndex {
  public:
    using Records = ComponentArrays<double>;
    using Query = UnitVector;

    S2PointIndex(ComponentArrays<double> points, int count);

    // The smallest squared chord ((ax - px)^2 + (ay - py)^2) + (az - pz)^2, each
    // operation rounded as written, and its index, the lowest among equal
    // scores; {kNoWinner, infinity} when the table is empty: the answer of
    // S2PointBruteVector's, bit for bit. A cell is skipped when its
    // bound on the sum of two of the squares exceeds the best so far: the
    // rounded sum of any two of the three non-negative squares is at most the
    // rounded score (cdc_pruned_search.h has the proof).
    Nearest nearest(UnitVector point) const;

    size_t bytes() const;

  private:
    FaceGrid grid_;
    std::vector<double> xs_, ys_, zs_;  // cell after cell
    std::vector<int32_t> indices_;      // each vector's index in the table
};

template <>
struct SearchType<SearchId::kS2PointIndex> {
    using type = S2PointIndex;
};

}  // namespace spherebench
