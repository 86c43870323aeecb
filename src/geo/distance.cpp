#include "geo/distance.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "geo/coords.h"

namespace spherebench {

double chord2_to_angle(double chord2) {
    if (!(chord2 > 2)) return 2 * std::asin(std::sqrt(chord2) / 2);  // NaN and negatives: NaN
    // 4 - chord2 is exact for chord2 in [2, 4] (Sterbenz).
    return kPi - 2 * std::asin(std::sqrt(std::max(4 - chord2, 0.0)) / 2);
}

double angle_to_chord2(double angle) {
    if (!(angle >= 0)) return std::numeric_limits<double>::quiet_NaN();
    if (angle >= kPi) return 4;
    const double chord = 2 * std::sin(angle / 2);
    return chord * chord;
}

double cosine_to_angle(double cosine) { return std::acos(std::clamp(cosine, -1.0, 1.0)); }

double angle_to_cosine(double angle) { return std::cos(angle); }

// Why the limit lies this far above c = km_to_chord2(km). Take a location p
// and the query q, decoded, at the exact central angle t <= km / R between
// their directions, C(t) = (2 sin(t / 2))^2 <= C(km / R), u = 2^-53.
//
// - The lengths |p|, |q|: where the stored cosines have a^2 + b^2 <= 1 (every
//   pair the encoder makes: its two stored components are the smaller ones),
//   the decoder's major component is sqrt((1 - a*a) - b*b) rounded, the sum
//   off by at most 2 u, so the length is within 2 u of 1; or 0 where that
//   sum is below kSmallestRootArgument, and then the length is at least
//   sqrt(1 - 2.458e-14 - 2 u) > 1 - 1.24e-14.
// - Exactly, |p - q|^2 = (|p| - |q|)^2 + |p| |q| C(t), at most
//   (1.24e-14 + 2 u)^2 < 1.6e-28 plus (1 + 4.1 u) C(t).
// - The score rounds three differences (each within u; the query's parts are
//   its decoded components, moved and negated exactly), three squares and
//   two sums of terms that are never negative: at most 5.1 u above |p - q|^2.
// - c is within 7 u of C(km / R) (distance.h), so C(t) <= (1 + 7.1 u) c.
//
// So the score is at most (1 + 16.3 u) c + 1.61e-28. fl(c + 2^-92) is at
// least (c + 2^-92)(1 - u), and each step up of one ulp raises a positive
// double by more than u of itself, so 20 steps reach (c + 2^-92)(1 + 18.9 u),
// which is more. Conversely each step raises it by at most 2 u, so a
// location found has a score at most (c + 2^-92)(1 + 41.1 u), and its C(t)
// lies at most a relative 4e-14 (mostly a decoded length of 1 - 1.24e-14)
// plus 2.1e-28 above C(km / R).
namespace {
constexpr double kScoreFloor = 0x1p-92;  // above (|p| - |q|)^2 and the squares' underflow
constexpr uint64_t kUlpsAbove = 20;
}  // namespace

double within_chord2(double km) {
    const double padded = km_to_chord2(km) + kScoreFloor;
    // A positive double's next value up is the next integer of its bits.
    return std::bit_cast<double>(std::bit_cast<uint64_t>(padded) + kUlpsAbove);
}

}  // namespace spherebench
