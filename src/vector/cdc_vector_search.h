// The direction-cosine search vectorised with Highway, exact: every lane
// decodes an airport's pair and forms its squared chord to the point with the
// same IEEE operations in the same order as the scalar search, so it finds
// the same winner with the same score, bit for bit. Compiled for every target
// Highway knows on the architecture (SSSE3 to AVX-512 on x86-64, NEON on
// AArch64) and dispatched at run time to the best one the CPU has; the rest of
// the binary stays baseline.
#pragma once

#include "bench/search.h"
#include "geo/coords.h"
#include "vector/cdc_case_groups.h"

namespace spherebench {

// The airport nearest to the point: the smallest squared chord, the lowest
// index on ties; {kNoWinner, kStartScore} when count is 0.
Nearest cdc_vector_find_nearest(const CdcPair* airports, int count, CdcPair point);

// The same search over a table grouped by flag case (group_by_flag_case),
// the layout it runs fastest on: every vector holds airports of one case, so
// the point's components and the order of the sum are the same in all its
// lanes, and the search does the decoding and the arithmetic alone. The same
// winner, by its index in the table, and the same score bit for bit.
Nearest cdc_grouped_find_nearest(const CdcCaseGroups& groups, CdcPair point);

// Two parts of the search alone, on the same target, to measure what bounds
// it: the square root (of every value) and the two stored cosines (of every
// pair), summed. Count is taken down to a multiple of four vectors.
double vector_sum_of_square_roots(const double* values, int count);
double vector_sum_of_stored_cosines(const CdcPair* pairs, int count);

// The Highway target the searches run on here, e.g. "AVX3".
const char* vector_target_name();

}  // namespace spherebench
