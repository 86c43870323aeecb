// The direction-cosine search vectorised with Highway, exact, over a table
// grouped by flag case (group_by_flag_case): every vector holds locations of
// one case, so the point's partners and the order of the sum are the same in
// all its lanes, and each lane decodes its pair and forms the squared chord
// with the IEEE operations of CdcMethod::score, in its order. Each lane keeps
// only its least score inside a block of steps (one minimum a vector), and
// notes, per flag case group, the first block in which its best score fell.
// After the search only the lanes holding the best score are scored again, in
// their block, to find the position, and so the table index, of that score.
// The same winner (the lowest table index among equal scores) and the same
// score, bit for bit, as find_nearest<CdcMethod>. Compiled for every target
// Highway knows on the architecture (SSSE3 to AVX-512 on x86-64, NEON on
// AArch64) and dispatched at run time to the best one the CPU has; the rest of
// the binary stays baseline.
#pragma once

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"
#include "vector/cdc_case_groups.h"

namespace spherebench {

// Vectors per block: long enough that the block's bookkeeping (a compare and
// two selections) is rare, short enough that scoring one lane of a block
// again costs little: its 8 pairs are one vector on AVX-512, two on AVX2.
inline constexpr int kCdcBlockVectors = 8;

Nearest cdc_block_find_nearest(const CdcCaseGroups& groups, CdcPair point);

using CdcBruteVector = GroupedSearch<cdc_block_find_nearest>;
SPHEREBENCH_SEARCH_TYPE(kCdcBruteVector, CdcBruteVector);

// The Highway target the search runs on here, chosen at run time from those
// compiled for the architecture, e.g. "AVX3".
const char* vector_target_name();

}  // namespace spherebench
