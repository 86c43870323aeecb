// The latitude/longitude vector search that skips what cannot win: an
// integer filter on each record's fixed-point latitude and longitude passes
// on only the vectors with a location inside the latitude band and the
// longitude band round the point within which its cosine of the central
// angle could reach the best so far (pruning_bounds.h); those alone take
// SLEEF's sines and cosines. The table is read in four streams side by side
// (stream_scan-inl.h). The same winner (the lowest index on ties) and the
// same score, bit for bit, as latlong_vector_find_nearest on the same target.
// Dispatched at run time like latlong_vector_search.h.
#pragma once

#include "catalogue/search_catalogue.h"
#include "geo/coords.h"
#include "method/nearest.h"
#include "method/table_scan.h"
#include "vector/latlong_vector_search.h"

namespace spherebench {

// {kNoWinner, -kStartScore} when count is 0. Latitudes outside
// [-pi/2, pi/2] (fixed-point beyond ±1073741820, which no loaded table
// holds) void the bands: in the point they turn the filter off, in an
// location they make the search score every location.
Nearest latlong_pruned_vector_find_nearest(const FixedLatLong* locations, int count, FixedLatLong point);

// Its k nearest and those within a limit come from every location's score
// (latlong_vector_scores), the same doubles as its own.
using LatLongPrunedVector = TableScan<FixedLatLong, FixedLatLong, latlong_pruned_vector_find_nearest,
                                      latlong_vector_scores, ScoreOrder::kLargerNearer>;
SPHEREBENCH_SEARCH_TYPE(kLatLongPrunedVector, LatLongPrunedVector);

}  // namespace spherebench
