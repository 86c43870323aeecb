// The grouped direction-cosine vector search that skips what cannot win:
// over the table grouped by flag case (group_by_flag_case, cdc_case_groups.h,
// built once per table), a cheap filter in 16-bit lanes reads each pair's two
// stored words (8 bytes, nothing else) and passes on only the vectors with a
// pair whose two stored components lie near enough to the point's partners
// to beat the best score so far (pruning_bounds.h); those alone are decoded,
// rooted and scored exactly, as cdc_block_find_nearest scores them. Each
// group is read in four streams side by side (stream_scan-inl.h), the
// point's own flag case first. The same winner (the lowest table index
// among equal scores) and the same score, bit for bit, as
// find_nearest<CdcMethod>. Dispatched at run time like cdc_block_search.h.
#pragma once

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"
#include "vector/cdc_case_groups.h"

namespace spherebench {

// {kNoWinner, kStartScore} when the groups hold no location.
Nearest cdc_pruned_vector_find_nearest(const CdcCaseGroups& groups, CdcPair point);

using CdcPrunedVector = GroupedSearch<cdc_pruned_vector_find_nearest>;
SPHEREBENCH_SEARCH_TYPE(kCdcPrunedVector, CdcPrunedVector);

}  // namespace spherebench
