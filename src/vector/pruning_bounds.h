// The bounds by which the pruned vector searches skip locations that cannot
// win, each a plain function of the best score so far, with the proof that
// it is a bound beside it (pruning_bounds.cpp). Every rounding on the way is
// covered by a stated margin, so that no location that could win, or tie
// with the winner, is ever skipped.
#pragma once

#include <cstdint>

namespace spherebench {

// The direction-cosine filter. A pair's two stored words, each shifted left
// by 2 as an int32 (its 30-bit field in units of kCosineScale, 2 below the
// cell centre the decoder reads), less the point's partner of that cosine
// from cdc_filter_partner, wrapping modulo 2^32, converted to float and
// squared in float, the two squares added in float: if that sum exceeds
// cdc_filter_threshold(best), the pair's squared chord exceeds best.
//
// The nearest integer to component / kCosineScale, less 2, as a uint32:
// for |component| <= 2147483646 / 2147483640, the widest a decoded point has.
uint32_t cdc_filter_partner(double component);
// A float at or above which no pair of sum below it can beat best; infinity
// when best is too large for any float bound (the start of a search).
float cdc_filter_threshold(double best);

// The latitude/longitude filter. With both latitudes within
// [-kFixedQuarterTurn, kFixedQuarterTurn] (pi/2 in units), an airport whose
// fixed-point latitude differs from the point's by at least
// latitude_band_limit(best) units scores below best by latlong_cosine's
// operations, SLEEF's sine and cosine included.
inline constexpr int32_t kFixedQuarterTurn = 1073741820;
uint32_t latitude_band_limit(double best);

}  // namespace spherebench
