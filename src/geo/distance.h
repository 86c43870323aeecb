// Distances between two directions in the three measures the project uses: a
// squared chord (the direction-cosine searches' score), a central angle in
// radians, and kilometres on a sphere of kEarthRadiusKm; and the
// latitude/longitude search's score, the angle's cosine.
//
// Rounding. u = 2^-53, half a unit in the last place (ulp) relative; a value
// off by r u relatively is off by less than r ulps. sqrt is rounded
// correctly; sin, cos, asin and acos are taken to be within 1 ulp of the
// exact function, as glibc's are (distance_test.cpp checks it against values
// worked out to 40 digits). Each bound below is between the result and the
// exact function of the double given, to first order in u:
//
// - angle_to_chord2: the argument is halved exactly, its sine is within 2 u,
//   doubled exactly and squared (twice the sine's error, plus u): 5 u.
// - km_to_chord2: km / kEarthRadiusKm rounded (u); an angle off by e moves the
//   sine of its half by at most e relatively (h cot h <= 1), so 7 u.
// - chord2_to_angle: up to 2 (90 degrees), 2 asin(sqrt(c) / 2): the root is
//   within u and asin within 2 u, and asin(x) changes relatively by at most
//   1.28 times a relative change of x <= sqrt(2) / 2, so 3.3 u. Beyond 2 the
//   same formula would lose half the digits (asin is flat near 1): the angle is
//   pi - 2 asin(sqrt(4 - c) / 2), 4 - c exact, the same 3.3 u on the part
//   subtracted (at most pi / 2), plus pi's own rounding (1.23e-16) and the
//   subtraction's (at most 2.3e-16): at most 9.2e-16 radians, 5.3 u of an
//   angle of pi / 2 or more.
// - chord2_to_km: the angle's bound plus u for the product: 4.3 u up to 90
//   degrees, 6.3 u beyond; at most 8 nanometres anywhere on the sphere.
// - angle_to_cosine, cosine_to_angle: one libm call each, 2 u. The cosine
//   itself places a short distance badly: near 0 the cosine of angle a is
//   1 - a^2 / 2, so a cosine rounded to a double leaves the angle uncertain by
//   about sqrt(2 u), 1.5e-8 radians, 95 metres. The squared chord has no such
//   floor.
#pragma once

namespace spherebench {

inline constexpr double kEarthRadiusKm = 6371.0;

// The angle of a squared chord between unit vectors, in [0, pi]. A squared
// chord above 4 (decoded vectors are a few ulps off unit length) gives pi; a
// negative one or NaN gives NaN.
double chord2_to_angle(double chord2);

// The squared chord (2 sin(angle / 2))^2 of an angle, in [0, 4]: the chord
// through the sphere between two directions that far apart. An angle of pi or
// more gives 4 (no two directions are farther apart, so the function grows
// with the angle); a negative angle or NaN gives NaN.
double angle_to_chord2(double angle);

inline double angle_to_km(double angle) { return angle * kEarthRadiusKm; }
inline double km_to_angle(double km) { return km / kEarthRadiusKm; }
inline double chord2_to_km(double chord2) { return angle_to_km(chord2_to_angle(chord2)); }
inline double km_to_chord2(double km) { return angle_to_chord2(km_to_angle(km)); }

// The angle of a cosine, a cosine above 1 or below -1 (as rounding leaves
// one) taken as 1 or -1; and the cosine of an angle.
double cosine_to_angle(double cosine);
double angle_to_cosine(double angle);

// The squared chord to compare scores with to find every location within km
// of a query: every location whose central angle to the query (between the
// directions of the two decoded vectors, exactly) is at most km /
// kEarthRadiusKm has a score, computed as the brute force computes it, at or
// below it. The locations so found are exactly those whose score is at or
// below it. Besides those within km, they may include some a little farther:
// their exact squared chord exceeds that of km by less than a relative 4e-14
// plus 2.1e-28, which up to 10000 km is less than 0.4 micrometres (toward
// the antipode, where the squared chord flattens, the margin in km grows as
// tan(angle / 2)). How far above km_to_chord2(km) the limit lies, and why, is
// argued in distance.cpp. The vectors are those of pairs whose stored cosines
// a, b have a^2 + b^2 <= 1, as every pair the encoder makes has. km must be
// at least 0 (not NaN): a distance.
double within_chord2(double km);

}  // namespace spherebench
