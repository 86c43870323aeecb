// The bounds by which the pruned vector searches skip locations that cannot
// win, each a plain function of the best score so far, with the proof that
// it is a bound beside it (pruning_bounds.cpp). Every rounding on the way is
// covered by a stated margin, so that no location that could win, or tie
// with the winner, is ever skipped.
#pragma once

#include <cstdint>

namespace spherebench {

// The direction-cosine filter, in 16-bit lanes. Of each stored word it
// keeps the top 14 bits of the 30-bit field (bits 16 to 29: the field over
// 2^16, rounded down), as (word >> 16) less the point's partner from
// cdc_filter_partner, times 4 modulo 2^16 (which drops the flag bits), an
// int16 d; and d0^2 + d1^2 of a pair's two words, summed exactly in int32:
// if that sum is not below cdc_filter_limit(best), the pair's squared chord
// exceeds best.
//
// The point's component in those units, for |component| <= 2147483646 /
// 2147483640, the widest a decoded point has: the nearest integer to
// (component / kCosineScale - 2 - 2^17) / 2^18.
int16_t cdc_filter_partner(double component);
// INT32_MAX when best is too large for any bound (the start of a search):
// every sum is below it.
int32_t cdc_filter_limit(double best);

// The latitude/longitude filter. With both latitudes within
// [-kFixedQuarterTurn, kFixedQuarterTurn] (pi/2 in units), a location whose
// fixed-point latitude differs from the point's by at least
// latitude_band_limit(best) units scores below best by latlong_cosine's
// operations, SLEEF's sine and cosine included.
inline constexpr int32_t kFixedQuarterTurn = 1073741820;
uint32_t latitude_band_limit(double best);
// And of those inside that band (latitudes differing by less than
// `latitude_limit`), one whose longitude differs from the point's by at
// least longitude_band_limit units, as the int32 difference wrapped modulo
// 2^32 and taken in magnitude, scores below best too. UINT32_MAX where the
// band reaches a pole, or no longitude would exclude a location.
uint32_t longitude_band_limit(double best, int32_t point_latitude, uint32_t latitude_limit);

}  // namespace spherebench
