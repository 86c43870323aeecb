// The forms of a direction from the centre of the Earth and the conversions
// between them.
//
// Every function here is pure, allocates nothing and is defined inline: the
// proximity passes call decode_cdc and from_fixed once per test, up to
// fourteen million times a pass.
//
// Exactness: all arithmetic is IEEE double, round to nearest, each operation
// rounded as written (the build turns floating-point contraction off).
//
// Precision of the stored forms on an Earth of radius 6371 km:
// - CdcPair: a stored cosine is the centre of a cell 4/2147483640 wide, so it
//   is off by at most half that, 9.3e-10, which moves the position by at most
//   about 6 mm per stored component; the computed major component adds only
//   rounding. Positions are good to about a centimetre.
// - FixedLatLong: one unit is pi/2147483640 radian, 9.3 mm of latitude;
//   to_fixed truncates, so a stored position lies up to one unit nearer zero
//   in each angle than the direction it came from.
#pragma once

#include <bit>
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

// Not normalised, and the computed component is not checked to be the largest.
//   axis Z:  (-v, u,  w), negative: ( v,  u, -w)
//   axis Y:  (-u, w,  v), negative: ( u, -w,  v)
//   axis X:  ( w, u,  v), negative: (-w, -u,  v)
// Each component is the major one if it lies on the major axis, else a stored
// cosine with its sign set by the flags. On random directions the flags are
// unpredictable, so the components are chosen by bit masks, not branches; sign
// changes are exact and keep signed zeros.
inline UnitVector decode_cdc(CdcPair pair) {
    const double u = stored_cosine(pair.first);
    const double v = stored_cosine(pair.second);
    const double s = (1.0 - u * u) - v * v;
    const double w = s >= kMajorThreshold ? std::sqrt(s) : 0.0;

    constexpr uint64_t kSign = uint64_t{1} << 63;
    const uint64_t negative = static_cast<uint64_t>((pair.first >> 30) & 1) << 63;
    const uint64_t axis_z = static_cast<uint64_t>(static_cast<int64_t>(pair.second >> 31));
    const uint64_t axis_y = ~axis_z & (0 - static_cast<uint64_t>((pair.second >> 30) & 1));
    const uint64_t axis_x = ~(axis_z | axis_y);
    auto select = [](uint64_t mask, uint64_t if_set, uint64_t if_clear) {
        return (if_set & mask) | (if_clear & ~mask);
    };
    const uint64_t ub = std::bit_cast<uint64_t>(u);
    const uint64_t vb = std::bit_cast<uint64_t>(v);
    // -0.0 when w is 0 and the major component is negative: atan2 tells
    // longitude -pi from pi by that sign.
    const uint64_t major = std::bit_cast<uint64_t>(w) ^ negative;
    const uint64_t x = select(axis_x, major, select(axis_z, vb, ub) ^ kSign ^ negative);
    const uint64_t y = select(axis_y, major, ub ^ (negative & axis_x));
    const uint64_t z = select(axis_z, major, vb);
    return {std::bit_cast<double>(x), std::bit_cast<double>(y), std::bit_cast<double>(z)};
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
