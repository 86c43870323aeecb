// The grouped direction-cosine vector search that skips what cannot win:
// over the table grouped by flag case (cdc_case_groups.h, built once per
// table), a cheap filter in float lanes reads each pair's two stored words
// (8 bytes, nothing else) and passes on only the vectors with a pair whose
// two stored components lie near enough to the point's to beat the best
// score so far; those alone are decoded, rooted and scored exactly, as
// cdc_block_find_nearest scores them. The same winner (the lowest table index
// among equal scores) and the same score, bit for bit, as
// find_nearest<CdcMethod>. Dispatched at run time like cdc_block_search.h.
#pragma once

#include "bench/search.h"
#include "geo/coords.h"
#include "vector/cdc_case_groups.h"

namespace spherebench {

// {kNoWinner, kStartScore} when the groups hold no airport.
Nearest cdc_pruned_vector_find_nearest(const CdcCaseGroups& groups, CdcPair point);

}  // namespace spherebench
