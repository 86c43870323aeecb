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
// Precision of the stored forms on an Earth of radius 6371 km, against the
// direction they were made from (tests/bundled_data_test.cpp checks the real
// airports against these bounds; docs/ACCURACY.md has the measured errors):
// - CdcPair: each stored cosine is the centre of a cell 4/2147483640 wide, so
//   it is off by at most half that, 9.3e-10; with the computed component the
//   direction is off by at most 2.28e-9 radian, 14.5 mm.
// - FixedLatLong: one unit is pi/2147483640 radian, 9.3 mm of latitude;
//   to_fixed truncates, so a stored angle lies up to one unit nearer zero
//   than the one it came from: 13.2 mm at most in position, on top of the
//   error of the pair it was derived from.
#pragma once

#include <cmath>
#include <cstdint>

// Concise direction cosines: a unit vector packed into two 32-bit words.
//   first  bits 0-29: first stored cosine (30-bit two's-complement fraction)
//   first  bit 30:    the major component is negative (and one stored
//                     component is negated with it)
//   second bits 0-29: second stored cosine
//   second bit 31:    the major axis is Z
//   second bit 30:    (bit 31 clear) the major axis is Y, else X
// The major component is not stored; the decoder computes it.
struct CdcPair {
    int32_t first;
    int32_t second;
};

struct UnitVector {
    double x;
    double y;
    double z;
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

// The double nearest 1/2147483640: one half-unit of a 30-bit cosine field
// after the shift by 2, and the radian scale of a fixed-point angle over pi.
inline constexpr double kCosineScale = 4.656612890424627e-10;
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kInversePi = 0.3183098861837907;  // nearest double to 1/pi
inline constexpr double kFixedPi = 2147483640.0;           // fixed-point units per pi
inline constexpr double kDegreesPerRadian = 57.29577951308232;
// Below this, 1 - u*u - v*v is taken as 0: the major component is 0 or at
// least sqrt(2.458e-14), about 1.57e-7.
inline constexpr double kMajorThreshold = 2.458e-14;

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
    return {u, v, s >= kMajorThreshold ? std::sqrt(s) : 0.0};
}

inline bool major_axis_is_z(CdcPair pair) { return pair.second < 0; }
inline bool major_axis_is_y(CdcPair pair) { return !major_axis_is_z(pair) && ((pair.second >> 30) & 1); }
inline bool major_is_negative(CdcPair pair) { return (pair.first >> 30) & 1; }

// Not normalised, and the computed component is not checked to be the largest.
inline UnitVector decode_cdc(CdcPair pair) {
    const auto [u, v, w] = decode_cosines(pair);
    // -w is -0.0 where w is 0: atan2 tells longitude -pi from pi by that sign.
    if (major_axis_is_z(pair)) return major_is_negative(pair) ? UnitVector{v, u, -w} : UnitVector{-v, u, w};
    if (major_axis_is_y(pair)) return major_is_negative(pair) ? UnitVector{u, -w, v} : UnitVector{-u, w, v};
    return major_is_negative(pair) ? UnitVector{-w, -u, v} : UnitVector{w, u, v};
}

inline LatLong vector_to_latlong(UnitVector v) {
    const double h = v.x * v.x + v.y * v.y;
    return {std::atan2(v.z, std::sqrt(h)), std::atan2(v.y, v.x)};
}

// Truncates toward zero through 64 bits; the low 32 bits are the result.
inline int32_t angle_to_fixed(double angle) {
    const double t = (angle * kInversePi) * kFixedPi;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(t)));
}

inline FixedLatLong to_fixed(LatLong a) {
    return {angle_to_fixed(a.lat), angle_to_fixed(a.lon)};
}

inline double fixed_to_angle(int32_t n) {
    return (static_cast<double>(n) * kCosineScale) * kPi;
}

inline LatLong from_fixed(FixedLatLong f) {
    return {fixed_to_angle(f.lat), fixed_to_angle(f.lon)};
}

// The fixed-point latitude/longitude of a pair, as the tables store it beside
// the pair.
inline FixedLatLong cdc_to_fixed(CdcPair pair) { return to_fixed(vector_to_latlong(decode_cdc(pair))); }
