// The latitude/longitude vector search that skips what cannot win: an
// integer filter on each vector's fixed-point latitudes passes on only the
// vectors with an airport whose latitude lies near enough to the point's
// that its cosine of the central angle could reach the best so far; those
// alone take SLEEF's sines and cosines. The same winner (the lowest index on
// ties) and the same score, bit for bit, as latlong_vector_find_nearest on
// the same target. Dispatched at run time like latlong_vector_search.h.
#pragma once

#include "bench/search.h"
#include "geo/coords.h"

namespace spherebench {

// {kNoWinner, -kStartScore} when count is 0. Latitudes outside
// [-pi/2, pi/2] (fixed-point beyond ±1073741820) are never skipped, in an
// airport, and turn the filter off, in the point.
Nearest latlong_pruned_vector_find_nearest(const FixedLatLong* airports, int count, FixedLatLong point);

}  // namespace spherebench
