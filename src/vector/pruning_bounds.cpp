#include "vector/pruning_bounds.h"

#include <algorithm>
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
// Where c <= -1 no latitude difference excludes a location: the limit is
// then above every difference of valid latitudes.
uint32_t latitude_band_limit(double best) {
    const double c = best - 0x1p-44;
    if (!(c > -1.0)) return UINT32_MAX;
    const double angle = c < 1.0 ? std::acos(c) : 0.0;
    return static_cast<uint32_t>(angle * (kFixedPi / kPi)) + 3;
}

// Why the longitude filter is a bound, for a location inside the latitude
// band (the other locations are excluded by the latitude filter). The exact
// value of latlong_cosine's formula is, for d the longitude difference it
// takes the cosine of, cos(pp) cos(pa) cos(d) + sin(pa) sin(pp)
// = cos(pa - pp) - 2 cos(pp) cos(pa) sin^2(d/2) <= 1 - 2 cos(pp) cos(pa) sin^2(d/2).
// 1. In the band |na| < |np| + L, so |pa| < (|np| + L) w + 1e-15 = edge, and
//    cos(pa) >= cos(edge) where edge < pi/2; cos(pp) is the point's; both
//    taken 1e-15 below the library's cosines (within an ulp) and required
//    positive.
// 2. If sin^2(d/2) > k2 = (max(1 - best, 0) + 2^-44) / (2 cos(pp) cos(edge)),
//    the exact value is below best - 2^-44 + 2^-52 (1 - best rounds by at most
//    that), and the computed score, within 2^-49 of it (as above), below
//    best. k2 is rounded up by (1 + 2^-40), so that holds for the k2 computed.
// 3. sin^2(x/2) rises on [0, pi]: so |d| > 2 asin(sqrt(k2)) = A (A < 3, k2 <
//    0.99, computed with its roundings covered by (1 + 2^-40)) is enough.
// 4. The longitudes' wrapped int32 difference dw is at most 16 units above
//    the folded difference in units (a full turn is 2^32 - 16 units, not
//    2^32), and |d| is that times w to within 1e-14; so dw >= floor(A/w) + 3
//    + 16 gives |d| > A + w.
uint32_t longitude_band_limit(double best, int32_t point_latitude, uint32_t latitude_limit) {
    const double edge = (std::fabs(static_cast<double>(point_latitude)) + latitude_limit) * (kPi / kFixedPi) + 1e-14;
    if (!(edge < kPi / 2)) return UINT32_MAX;
    const double point_cosine = std::cos(fixed_to_angle(point_latitude)) - 1e-15;
    const double edge_cosine = std::cos(edge) - 1e-15;
    if (!(point_cosine > 0.0 && edge_cosine > 0.0)) return UINT32_MAX;
    const double k2 = (std::max(1.0 - best, 0.0) + 0x1p-44) / (2.0 * point_cosine * edge_cosine) * (1.0 + 0x1p-40);
    if (!(k2 < 0.99)) return UINT32_MAX;
    const double angle = 2.0 * std::asin(std::sqrt(k2)) * (1.0 + 0x1p-40);
    if (!(angle < 3.0)) return UINT32_MAX;
    return static_cast<uint32_t>(angle * (kFixedPi / kPi)) + 3 + 16;
}

}  // namespace spherebench
