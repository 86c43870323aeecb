// An exact index over direction-cosine pairs: the pairs as stored (8 bytes)
// and their table indices (4 bytes, for the tie rule), sorted by flag case
// (a face of the cube) and, on each face, into a k-d tree by the two stored
// cosines (face_tree.h), which together take under 13 bytes a location.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bench/cdc_method.h"
#include "bench/search.h"
#include "search/face_tree.h"

namespace spherebench {

struct CdcIndex {
    FaceTree tree;                 // faces by cdc_case_group, split by (u, v)
    std::vector<CdcPair> pairs;    // leaf after leaf
    std::vector<int32_t> indices;  // each pair's index in the table
};

CdcIndex build_cdc_index(const CdcPair* pairs, int count);

// find_nearest<CdcMethod>'s answer, winner and score bits: every node whose
// bound on the score (the ordered sum of the squared gaps to its box in u, v
// and w, or the bound of the sphere over it) exceeds the best so far is
// skipped, every pair whose partial sum (cdc_partial_score with its leaf's
// bound on W, never above the score) does too; the others are scored by
// CdcMethod::score and compared by score, then index. The point is arrange_point's, whose two axis-Z cases
// of a sign have the same partners (a face holds both).
Nearest cdc_index_find_nearest(const CdcIndex& index, const CdcPoint& point);

// All the memory the index holds.
size_t cdc_index_bytes(const CdcIndex& index);

}  // namespace spherebench
