// The latitude/longitude search vectorised with Highway, its sines and
// cosines from SLEEF's vector functions (the 1-ulp variants, without fused
// multiply-add: SSE2 to AVX-512 on x86-64, Advanced SIMD on AArch64). Every
// other operation is the scalar search's, in its order; but SLEEF's sine and
// cosine are not the maths library's, so scores differ in their last bits and
// a near tie can go to another location. Dispatched at run time like
// cdc_block_search.h.
#pragma once

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"
#include "method/table_scan.h"

namespace spherebench {

// The location with the largest cosine of the central angle to the point, the
// lowest index on ties; {kNoWinner, -kStartScore} when count is 0.
// As in the scalar search, the point's sine and cosine are evaluated again
// for every test (once per vector, for all its lanes).
Nearest latlong_vector_find_nearest(const FixedLatLong* locations, int count, FixedLatLong point);

// Each location's score, as both lat/long vector searches compute it on the
// target they run on, into scores[0, count).
void latlong_vector_scores(const FixedLatLong* locations, int count, FixedLatLong point, double* scores);

using LatLongBruteVector = TableScan<FixedLatLong, FixedLatLong, latlong_vector_find_nearest, latlong_vector_scores,
                                     ScoreOrder::kLargerNearer>;
SPHEREBENCH_SEARCH_TYPE(kLatLongBruteVector, LatLongBruteVector);

}  // namespace spherebench
