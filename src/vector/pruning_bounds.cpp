#include "vector/pruning_bounds.h"

#include <cfloat>
#include <cmath>

#include "geo/coords.h"

namespace spherebench {

// Why the direction-cosine filter is a bound. Let U, V be the stored
// integers the decoder scales ((word << 2) | 2, as int32), u = fl(U*s),
// v = fl(V*s) with s = kCosineScale, and a, b the point's partners of u and v
// in the pair's flag case (CdcPoint), P, Q their partners here plus 2, so
// that U - P is what the filter forms, modulo 2^32.
// 1. The score is fl(fl(X + Y) + Z) of three non-negative rounded squares,
//    two of them A = fl(fl(u - a)^2) and B = fl(fl(v - b)^2), in whatever
//    order the axis asks; rounding is monotone and relative error at most
//    e = 2^-53, so score >= (A + B)(1 - e)^2 >= ((u-a)^2 + (v-b)^2)(1 - e)^5.
// 2. |P - a/s| <= 1/2 + 2^-21 (a * 2147483640 is a/s to within 2^31 * 2e,
//    rounded to the nearest integer), and |u - U*s| <= e * 1.0000001 < s/2^21,
//    so |u - a| >= s(|U - P| - 1) where |U - P| >= 1; the same for v.
// 3. With r = |(U - P, V - Q)| (the true, unwrapped differences), the vector
//    (max(|U-P|-1, 0), max(|V-Q|-1, 0)) lies within sqrt(2) of (|U-P|, |V-Q|),
//    so (u-a)^2 + (v-b)^2 >= s^2 (r - sqrt(2))^2 when r >= sqrt(2).
// 4. The filter's sum: a wrapped difference is no larger in magnitude than
//    the true one (it wraps only from 2^31 up, to 2^32 less itself), and the
//    conversion, the squares and the sum each round by at most f = 2^-24
//    relative, with no overflow or underflow (values are 0 or from 1 to 2^63):
//    sum <= r^2 (1 + f)^4.
// So sum > T implies r > sqrt(T)/(1 + f)^2, and if T >= (1+f)^4 R^2 with
// R = sqrt(2) + sqrt(best)/(s(1 - e)^(5/2)), then r > R and by 1-3 the score
// exceeds best. Below, R is taken as sqrt(best) * 2147483640 * (1 + 2^-40)
// + 1.5 (2147483640 is 1/s to within e relative; 2^-40 covers that and the
// roundings here, 1.5 > sqrt(2)), and T = R^2 (1 + 2^-20), rounded up to a
// float: (1 + 2^-20) exceeds (1 + f)^4 with room for the roundings of R^2.
uint32_t cdc_filter_partner(double component) { return static_cast<uint32_t>(std::lround(component * kFixedPi) - 2); }

float cdc_filter_threshold(double best) {
    const double root = std::sqrt(best) * kFixedPi * (1.0 + 0x1p-40) + 1.5;
    const double threshold = root * root * (1.0 + 0x1p-20);
    if (!(threshold <= FLT_MAX)) return INFINITY;
    const float rounded = static_cast<float>(threshold);
    return rounded < threshold ? std::nextafter(rounded, INFINITY) : rounded;
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
