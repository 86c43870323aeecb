// How far the latitude/longitude score, as computed, can stand above the
// cosine of the angle between the two positions it is given, and the bounds
// the lat/long searches skip locations by.
//
// The score is cos(P.lat) * (cos(d) * cos(A.lat)) + sin(A.lat) * sin(P.lat),
// with d the folded longitude difference, from angles that from_fixed has
// rounded. Against the exact cosine of the angle between the unit vectors of
// those two rounded positions, P.A, it is off by at most:
// - each of the five sines and cosines: at most 2^-50 absolute (eight units
//   in the last place of 1; the platform's functions are within one or two);
// - d: |a.lon - p.lon|, below 8 even for longitudes beyond the fold, is
//   rounded once, within 4.5e-16; where 2 pi - d is taken instead (d above
//   pi) the subtraction is exact, and kTwoPi stands 2.5e-16 from 2 pi; cos
//   moves by no more than its argument, so by under 1e-15;
// - the three products and the sum: four roundings of values at most 1 in
//   size, 2^-53 each relative to a result within 1 + 1e-14.
// All together below 5 * 2^-50 + 1e-15 + 4 * 2^-52, which is 6.33e-15, under
// 6.4e-15. The margin kLatLongScoreError takes 1e-13, nearly sixteen times
// more.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>

#include "geo/coords.h"

namespace spherebench {

inline constexpr double kLatLongScoreError = 1e-13;

// One fixed-point unit in radians.
inline constexpr double kFixedUnitRadians = kPi / kFixedPi;

// The fixed-point latitude of the poles: latitudes within it have a
// non-negative cosine, which the latitude bound needs.
inline constexpr int32_t kFixedPoleLatitude = 1073741820;

// The largest difference of fixed-point latitudes at which a location, whose
// latitude and the point's both lie within the poles, can still score `best`
// or more; a greater difference scores strictly less.
//
// Why: with both latitudes in [-pi/2, pi/2] their cosines are non-negative,
// so the exact cosine of the angle between them is
// cos(lat1) cos(lat2) cos(d) + sin(lat1) sin(lat2) <= cos(lat1 - lat2), the
// cosine of the latitude difference. Let t = best - kLatLongScoreError, and
// theta the exact arccos of t. With h = (1 - t) / 2 = sin^2(theta / 2) and
// s = sqrt(h), theta = 2 asin(s) <= 2 s / sqrt(1 - s^2) (as asin x <= tan
// asin x); this is what is computed, without a sine or cosine, within a
// relative 1e-15 where h <= 1/2 (theta at most pi/2: beyond, nothing is
// ruled out). from_fixed gives n * K * (1 + e) with K the product of its
// constants and |e| <= 2^-52, so two latitudes' radians differ by at least
// |n1 - n2| * K - 7e-16 (K is within 1e-16 relative of kFixedUnitRadians).
// The reach returned, r, is (theta' * (1 + 1e-12) + 1e-12) / unit, truncated,
// with theta' the bound computed: a difference above r, so at least r + 1,
// makes the radians differ by more than theta (the 1e-12 terms cover every
// rounding named, by thousands). The cosine falls on [0, pi], so the exact
// cosine is below t, and the computed score below t + 6.4e-15 < best: the
// location neither beats nor ties the best.
// Where h < 0, best exceeds 1 + kLatLongScoreError, above every score (each
// within 6.4e-15 of a cosine, so at most 1 + 6.4e-15): no difference can
// reach it, and the reach is -1.
inline int64_t latitude_reach(double best) {
    const double h = (1.0 - (best - kLatLongScoreError)) * 0.5;
    if (h < 0) return -1;
    if (!(h <= 0.5)) return std::numeric_limits<int64_t>::max();  // nothing can be ruled out
    const double theta = 2.0 * std::sqrt(h) / std::sqrt(1.0 - h);
    return static_cast<int64_t>((theta * (1 + 1e-12) + 1e-12) / kFixedUnitRadians);
}

// A latitude within the poles, for which latitude_reach holds.
inline bool latitude_within_poles(int64_t lat) { return lat >= -kFixedPoleLatitude && lat <= kFixedPoleLatitude; }

// Locations with a fixed-point latitude in [low, high], or beyond the poles,
// may score the best or more; the rest score strictly less.
struct LatitudeWindow {
    int64_t low = std::numeric_limits<int64_t>::min();
    int64_t high = std::numeric_limits<int64_t>::max();
    bool excludes(int32_t lat) const {
        return (lat < low && lat >= -kFixedPoleLatitude) || (lat > high && lat <= kFixedPoleLatitude);
    }
};

inline LatitudeWindow latitude_window(int32_t point_lat, double best) {
    const int64_t reach = std::min<int64_t>(latitude_reach(best), int64_t{1} << 40);
    return {point_lat - reach, point_lat + reach};
}

// The greatest bound on the squared chord at which a location can still
// score `best` or more, which LatLongIndex skips its cells by. With g, h and
// m the three gaps (each at most the exact vectors' difference in its
// coordinate), the exact squared chord c between the two exact unit vectors
// is at least g^2 + h^2 + m^2, so at least the bound as rounded (five
// roundings, each within 2^-53), b, times (1 - 2^-50). The exact cosine of
// the angle is 1 - c / 2, and the score is within 6.4e-15 of it (above): a
// location scoring best or more has 1 - b (1 - 2^-50) / 2 + 6.4e-15 >= best,
// so b <= 2 (1 + 6.4e-15 - best) / (1 - 2^-50). The limit returned,
// 2 ((1 + 2e-13) - best) (1 + 1e-12), exceeds that with all its roundings
// (best is at most 1 + 6.4e-15, so the difference is at least 1.9e-13 and
// rounded within 2^-53 of itself): a cell whose bound exceeds it holds no
// location that beats or ties the best.
inline double chord_limit(double best) { return 2.0 * ((1.0 + 2 * kLatLongScoreError) - best) * (1.0 + 1e-12); }

// The fixed-point latitude within the poles whose radians from_fixed gives
// as lat, if there is one; the window stands on it. The neighbours are
// formed in 64 bits: near may be either end of the int32 range.
inline std::optional<int32_t> fixed_latitude_of(double lat) {
    const int64_t near = angle_to_fixed(lat);
    for (const int64_t n : {near, near + 1, near - 1})
        if (latitude_within_poles(n) && fixed_to_angle(static_cast<int32_t>(n)) == lat) return static_cast<int32_t>(n);
    return std::nullopt;
}

// latlong_cosine with the point's sine and cosine of latitude computed once
// per query instead of once per test: the same functions of the same
// argument, so the same score, bit for bit.
struct LatLongQuery {
    LatLong point;
    double cos_lat, sin_lat;
};

inline LatLongQuery latlong_query(LatLong point) { return {point, std::cos(point.lat), std::sin(point.lat)}; }

inline double latlong_query_score(const LatLongQuery& q, LatLong a) {
    double d = std::fabs(a.lon - q.point.lon);
    d = std::min(d, kTwoPi - d);
    return q.cos_lat * (std::cos(d) * std::cos(a.lat)) + std::sin(a.lat) * q.sin_lat;
}

}  // namespace spherebench
