// An exact index over direction-cosine pairs: the pairs as stored (8 bytes)
// and their table indices (4 bytes, for the tie rule), sorted by flag case
// (a face of the cube) and, on each face, into a grid by the two stored
// cosines (face_grid.h), which together take under 13 bytes a location.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue/search_catalogue.h"
#include "method/cdc_method.h"
#include "method/nearest.h"
#include "search/face_grid.h"

namespace spherebench {

class CdcIndex {
  public:
    using Records = const CdcPair*;
    using Query = CdcPoint;

    CdcIndex(const CdcPair* pairs, int count);

    // find_nearest<CdcMethod>'s answer, winner and score bits: every cell whose
    // bound on the partial sum (cdc_partial_score, itself never above the score)
    // exceeds the best so far is skipped, every pair whose partial does too; the
    // others are scored by CdcMethod::score and compared by score, then index.
    // The point is arrange_point's, whose two axis-Z cases of a sign have the
    // same partners (a face holds both).
    Nearest nearest(const CdcPoint& point) const;

    // All the memory the index holds.
    size_t bytes() const;

  private:
    FaceGrid grid_;                 // faces by cdc_case_group, cells by (u, v)
    std::vector<CdcPair> pairs_;    // cell after cell
    std::vector<int32_t> indices_;  // each pair's index in the table
};

template <>
struct SearchType<SearchId::kCdcIndex> {
    using type = CdcIndex;
};

}  // namespace spherebench
