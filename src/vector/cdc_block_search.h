// The grouped direction-cosine vector search with block-wise bookkeeping:
// the same arithmetic as cdc_grouped_find_nearest, lane by lane, but each lane
// keeps only its least score inside a block of steps (one minimum a vector),
// and notes, per flag case group, the first block in which its best score
// fell. After the search only the lanes holding the best score are scored
// again, in their block, to find the position, and so the table index, of
// that score. The same winner (the lowest table index among equal scores) and
// the same score, bit for bit, as find_nearest<CdcMethod>.
#pragma once

#include "bench/search.h"
#include "geo/coords.h"
#include "vector/cdc_case_groups.h"

namespace spherebench {

// Vectors per block: long enough that the block's bookkeeping (a compare and
// two selections) is rare, short enough that scoring one lane of a block
// again costs little: its 8 pairs are one vector on AVX-512, two on AVX2.
inline constexpr int kCdcBlockVectors = 8;

Nearest cdc_block_find_nearest(const CdcCaseGroups& groups, CdcPair point);

}  // namespace spherebench
