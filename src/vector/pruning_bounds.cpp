#include "vector/pruning_bounds.h"

#include <cmath>
#include <cstdint>

#include "geo/coords.h"

namespace spherebench {

// Why the direction-cosine filter is a bound. Let U, V be the stored
// integers the decoder scales ((word << 2) | 2, as int32), u = fl(U*s),
// v = fl(V*s) with s = kCosineScale, and a, b the point's partners of u and v
// in the pair's flag case (CdcPoint); e = 2^-53.
// 1. The score is fl(fl(X + Y) + Z) of three non-negative rounded squares,
//    two of them A = fl(fl(u - a)^2) and B = fl(fl(v - b)^2), in whatever
//    order the axis asks; rounding is monotone with relative error at most e,
//    so score >= (A + B)(1 - e)^2 >= ((u-a)^2 + (v-b)^2)(1 - e)^5.
// 2. The filter's unit is 2^18 units of s. U - 2 = 2^18 G + r with
//    0 <= r < 2^18, G the field's top 14 bits; a/s - 2 = 2^18 P + 2^17 + t
//    with P the partner and |t| <= 2^17 (plus far less than a unit for the
//    roundings of a * 2147483640, which is a/s to within 2^31 * 2e). So
//    |U - a/s| >= 2^18 (|G - P| - 1), and as |u - U*s| <= e * 1.0000001, a
//    millionth of a unit of s, |u - a| >= 2^18 s (|G - P| - 1.001); the same
//    for v with H and Q.
// 3. With r = |(G - P, H - Q)| (true differences, not wrapped), the vector
//    (max(|G-P| - 1.001, 0), max(|H-Q| - 1.001, 0)) lies within 1.001 sqrt(2)
//    < 1.5 of (|G-P|, |H-Q|), so (u-a)^2 + (v-b)^2 >= (2^18 s)^2 (r - 1.5)^2
//    where r >= 1.5.
// 4. The filter's d is 4 (G - P) wrapped into int16, no larger in magnitude
//    than 4 |G - P| (it wraps only from 2^15 up, to 2^16 less itself), and
//    its sum of squares is exact: at most 16 r^2. It overflows only where
//    both d are -2^15, into a negative sum, below every limit.
// So a sum >= L implies r >= sqrt(L)/4, and if L > 16 R^2 with
// R = 1.5 + sqrt(best)/(2^18 s (1 - e)^(5/2)), then r > R and by 1-3 the
// score exceeds best. Below, R is taken as
// sqrt(best) * (2147483640 / 2^18) * (1 + 2^-40) + 1.5 (2147483640 is 1/s to
// within e relative; 2^-40 covers that and the roundings here), and L as the
// next integer above 16 R^2 (1 + 2^-40). Every sum is at most
// 2^30 + 32764^2 < INT32_MAX, so the limit INT32_MAX lets every pair pass.
int16_t cdc_filter_partner(double component) {
    return static_cast<int16_t>(std::lround((component * kFixedPi - 2.0 - 0x1p17) * 0x1p-18));
}

int32_t cdc_filter_limit(double best) {
    const double root = std::sqrt(best) * (kFixedPi * 0x1p-18) * (1.0 + 0x1p-40) + 1.5;
    const double limit = 16.0 * root * root * (1.0 + 0x1p-40);
    if (!(limit < 2147483646.0)) return INT32_MAX;
    return static_cast<int32_t>(limit) + 1;
}

// Why the latitude filter is a bound. Latitudes phi = fl(fl(n*s)*pi) of
// fixed-point n within [-kFixedQuarterTurn, kFixedQuarterTurn] lie within
// 4e|phi| < 1e-15 of n*w, w = pi/2147483640 radian, so within 1e-15 of
// [-pi/2, pi/2], and their cosines are above -1e-15.
// 1. The exact value of latlong_cosine's formula on the rounded inputs,
//    cos(pp) cos(d) cos(pa) + sin(pa) sin(pp), is at most
//    cos(pp) cos(pa) + sin(pa) sin(pp) + 2e-15 = cos(pa - pp) + 2e-15, for any
//    d: cos(d) <= 1, and where one cosine of a latitude is negative, it is
//    above -1e-15.
// 2. SLEEF's five results are each within 1 ulp (at most 2^-52 near 1) of
//    the exact sine or cosine of their argument; the three products and the
//    sum each round by half an ulp of a value below 2. So the computed score
//    is within 8 * 2^-52 < 2^-49 of the exact value of 1.
// 3. c = fl(best - 2^-44) <= best - 2^-45. If |pa - pp| > acos(c), then
//    cos(pa - pp) < c (cos falls strictly on [0, pi], and |pa - pp| <= pi + 2e-15
//    covers the rest) and the score is below c + 2e-15 + 2^-49 < best.
// 4. With dl = |na - np| units, |pa - pp| >= dl*w - 2e-15. The limit L below
//    is floor(acos(c)/w) + 3, computed with roundings far below a unit (the
//    quotient's relative 2^-52 of at most 2^31, acos's ulp), so dl >= L gives
//    dl*w > acos(c) + 2w - 1e-15, and |pa - pp| > acos(c).
// Where c <= -1 no latitude difference excludes an airport: the limit is
// then above every difference of valid latitudes.
uint32_t latitude_band_limit(double best) {
    const double c = best - 0x1p-44;
    if (!(c > -1.0)) return UINT32_MAX;
    const double angle = c < 1.0 ? std::acos(c) : 0.0;
    return static_cast<uint32_t>(angle * (kFixedPi / kPi)) + 3;
}

}  // namespace spherebench
