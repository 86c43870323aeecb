// The forms of a direction from the centre of the Earth and the conversions
// between them.
//
// Every function here is pure, allocates nothing and is defined inline: the
// proximity passes decode an airport's pair (decode_cosines) or convert its
// fixed-point angles (from_fixed) in every test, up to fourteen million times
// a pass.
//
// Exactness: all arithmetic is IEEE double, round to nearest, each operation
// rounded as written (the build turns floating-point contraction off).
//
// Precision of the stored forms against the direction they were made from is
// stated below as kCdcPairBound and kFixedTruncationBound, in radians; on an
// Earth of radius kEarthRadiusMetres they are 14.53 mm and 13.18 mm
// (tests/bundled_data_test.cpp checks the real airports against them;
// docs/ACCURACY.md has the measured errors).
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

#include "geo/cdc_layout.h"

namespace spherebench {

// Concise direction cosines, CdcPair: a unit vector packed into two 32-bit
// words, laid out as geo/cdc_layout.h describes.

struct UnitVector {
    double x;
    double y;
    double z;
};

// A unit vector rounded to three floats.
struct FloatVector {
    float x, y, z;
};

// A table of vectors held as three arrays of components, one per axis.
template <typename T>
struct ComponentArrays {
    const T* xs;
    const T* ys;
    const T* zs;
};

// Radians: latitude in [-pi/2, pi/2], longitude in [-pi, pi].
struct LatLong {
    double lat;
    double lon;
};

// Units of pi/2147483640 radian: pi is 2147483640, pi/2 is 1073741820.
struct FixedLatLong {
    int32_t lat;
    int32_t lon;
};

// Units of a fixed-point angle per pi radian; also the scale of a stored
// cosine, whose 30-bit field shifted left by 2 counts units of 1/kFixedPi.
inline constexpr double kFixedPi = 2147483640.0;
// The double nearest 1/kFixedPi, 4.656612890424627e-10: one half-unit of a
// 30-bit cosine field after the shift by 2, and the radian scale of a
// fixed-point angle over pi.
inline constexpr double kCosineScale = 1.0 / kFixedPi;
// Half the width of a stored cosine's cell (4 / kFixedPi wide): the largest
// distance from a cosine in [-1, 1] to the nearest cell centre.
inline constexpr double kHalfFieldUnit = 2.0 / kFixedPi;
inline constexpr double kPi = 3.141592653589793;
static_assert(kPi == std::numbers::pi);
inline constexpr double kTwoPi = 2 * kPi;                 // exact
inline constexpr double kInversePi = 0.3183098861837907;  // nearest double to 1/pi
// Degrees to radians in the precision of the angle: pi / 180, rounded once to
// the type (the reference geometry works in long double, the rest in double).
template <typename Real>
inline constexpr Real kRadiansPerDegreeIn = std::numbers::pi_v<Real> / 180;
inline constexpr double kRadiansPerDegree = kRadiansPerDegreeIn<double>;
// Radians to degrees, for printing: 180 / kPi, 57.29577951308232.
inline constexpr double kDegreesPerRadian = 180.0 / kPi;

// Precision, in radians of the angle between a stored direction and the unit
// vector it was made from (the one derivation of the bounds; the encoder, the
// tests and the reports refer here):
// - CdcPair: each stored cosine is the centre of a cell 4/kFixedPi wide, so
//   it is off by at most half that, kHalfFieldUnit (9.3e-10), plus the
//   decoder's rounding of its product (below 2^-53). The decoder recomputes
//   the major component from the two stored ones: to first order it moves by
//   -(u*du + v*dv)/w, at most 2 half cells since |u|, |v| <= |w|. So the three
//   together move by at most sqrt(6) half cells, reached when all three
//   components are 1/sqrt(3).
// - FixedLatLong: one unit is pi/kFixedPi radian, 9.3 mm of latitude;
//   to_fixed truncates each angle toward zero by less than one unit, so a
//   position moves by less than sqrt(2) units, on top of the error of the pair
//   it was derived from.
inline constexpr double kSqrt6 = 2.449489742783178;
inline constexpr double kSqrt2 = 1.4142135623730951;
inline constexpr double kCdcPairBound = kSqrt6 * 2.0 / kFixedPi;          // sqrt(6) half cells
inline constexpr double kFixedTruncationBound = kSqrt2 * kPi / kFixedPi;  // sqrt(2) units
// The mean radius of the Earth, the scale every error in metres is given in.
inline constexpr double kEarthRadiusMetres = 6371000.0;

// The smallest value the program takes a square root of: below it a square
// is taken as 0, and so is its root, which is therefore 0 or at least
// sqrt(2.458e-14), about 1.57e-7. The program roots two squares, the major
// component's 1 - u*u - v*v in the decoder and a winning squared chord in
// chord2_to_arc (cdc_method.h), and one guard serves both: it is a property
// of the square root as the program takes it, not of either quantity.
inline constexpr double kSmallestRootArgument = 2.458e-14;

// The value of a word's 30-bit field: shifted to the top of the word (bits 30
// and 31 fall away), with bit 1 set so the code stands at its cell's centre.
inline double stored_cosine(int32_t word) {
    const uint32_t shifted = (static_cast<uint32_t>(word) << 2) | 2u;
    return static_cast<double>(static_cast<int32_t>(shifted)) * kCosineScale;
}

// The arithmetic of decoding a pair, before its flags place and sign the
// components: the two stored cosines u and v, and the major component w
// computed from them (0 where 1 - u*u - v*v is below the threshold).
struct CdcCosines {
    double u;
    double v;
    double w;
};

inline CdcCosines decode_cosines(CdcPair pair) {
    const double u = stored_cosine(pair.first);
    const double v = stored_cosine(pair.second);
    const double s = (1.0 - u * u) - v * v;
    return {u, v, s >= kSmallestRootArgument ? std::sqrt(s) : 0.0};
}

constexpr bool major_axis_is_z(CdcPair pair) { return static_cast<uint32_t>(pair.second) & kCdcAxisZBit; }
constexpr bool major_axis_is_y(CdcPair pair) {
    return !major_axis_is_z(pair) && (static_cast<uint32_t>(pair.second) & kCdcAxisYBit);
}
constexpr bool major_is_negative(CdcPair pair) { return static_cast<uint32_t>(pair.first) & kCdcNegativeMajorBit; }

// The cosines placed and signed by the pair's flags, as kCdcLayout says:
// written out in branches on the bits, which the decoder runs faster than a
// lookup of the layout, and checked against the layout below.
constexpr UnitVector place_cosines(CdcCosines c, CdcPair pair) {
    const auto [u, v, w] = c;
    // -w is -0.0 where w is 0: atan2 tells longitude -pi from pi by that sign.
    if (major_axis_is_z(pair)) return major_is_negative(pair) ? UnitVector{v, u, -w} : UnitVector{-v, u, w};
    if (major_axis_is_y(pair)) return major_is_negative(pair) ? UnitVector{u, -w, v} : UnitVector{-u, w, v};
    return major_is_negative(pair) ? UnitVector{-w, -u, v} : UnitVector{w, u, v};
}

// Not normalised, and the computed component is not checked to be the largest.
inline UnitVector decode_cdc(CdcPair pair) { return place_cosines(decode_cosines(pair), pair); }

namespace cdc_layout_checks {

constexpr double component(UnitVector v, CdcAxis axis) { return axis == kCdcX ? v.x : axis == kCdcY ? v.y : v.z; }
constexpr double placed(UnitVector v, CdcPlace place) {
    return place.negated ? -component(v, place.axis) : component(v, place.axis);
}
// Every flag case, with the fields and the unread bit 31 of the first word
// set or not, places u, v, w where the layout says.
constexpr bool decoder_follows_layout() {
    for (unsigned k = 0; k < kCdcFlagCases; ++k) {
        constexpr uint32_t kExtras[] = {0u, 0x80000000u | kCdcFieldMask};
        for (uint32_t extra : kExtras) {
            const CdcPair flags = cdc_flag_bits(k);
            const CdcPair pair = {static_cast<int32_t>(static_cast<uint32_t>(flags.first) | extra),
                                  static_cast<int32_t>(static_cast<uint32_t>(flags.second) | (extra & kCdcFieldMask))};
            const UnitVector d = place_cosines({1.0, 2.0, 3.0}, pair);
            const CdcCaseLayout& c = kCdcLayout[k];
            if (placed(d, c.u) != 1.0 || placed(d, c.v) != 2.0 || placed(d, c.w) != 3.0) return false;
        }
    }
    return true;
}
static_assert(decoder_follows_layout());

}  // namespace cdc_layout_checks

inline LatLong vector_to_latlong(UnitVector v) {
    const double h = v.x * v.x + v.y * v.y;
    return {std::atan2(v.z, std::sqrt(h)), std::atan2(v.y, v.x)};
}

// Truncates toward zero through 64 bits; the low 32 bits are the result.
inline int32_t angle_to_fixed(double angle) {
    const double t = (angle * kInversePi) * kFixedPi;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(t)));
}

inline FixedLatLong to_fixed(LatLong a) { return {angle_to_fixed(a.lat), angle_to_fixed(a.lon)}; }

inline double fixed_to_angle(int32_t n) { return (static_cast<double>(n) * kCosineScale) * kPi; }

inline LatLong from_fixed(FixedLatLong f) { return {fixed_to_angle(f.lat), fixed_to_angle(f.lon)}; }

// The fixed-point latitude/longitude of a pair, as the tables store it beside
// the pair.
inline FixedLatLong cdc_to_fixed(CdcPair pair) { return to_fixed(vector_to_latlong(decode_cdc(pair))); }

}  // namespace spherebench
