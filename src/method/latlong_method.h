// Proximity by latitude/longitude: every airport's fixed-point position is
// turned into radians for every test and scored by the spherical law of
// cosines, so each test costs sines and cosines.
#pragma once

#include <algorithm>
#include <cmath>

#include "base/barrier.h"
#include "geo/coords.h"
#include "method/nearest.h"

namespace spherebench {

// The cosine of the central angle between p and a. The longitude difference
// is taken non-negative (the larger minus the smaller, which is exactly
// |a - p|) and folded into [0, pi]: where it is pi or more, 2 pi - d, which
// is then exact and the smaller of the two; below pi, d is the smaller.
// Written with fabs and min, which compile without branches: on random
// directions these comparisons are unpredictable.
inline double latlong_cosine(LatLong p, LatLong a) {
    double d = std::fabs(a.lon - p.lon);
    d = std::min(d, kTwoPi - d);
    return std::cos(p.lat) * (std::cos(d) * std::cos(a.lat)) + std::sin(a.lat) * std::sin(p.lat);
}

struct LatLongMethod {
    using Stored = FixedLatLong;
    using Point = LatLong;

    static constexpr double initial_best = -kStartScore;

    static LatLong prepare(FixedLatLong point) { return from_fixed(point); }
    static double score(FixedLatLong airport, LatLong p) {
        // The point's sine and cosine are part of what each test costs: hide
        // its value from the optimiser so they are not hoisted out of the
        // search loop.
        hide_values(p.lat, p.lon);
        return latlong_cosine(p, from_fixed(airport));
    }
    static constexpr ScoreOrder order = ScoreOrder::kLargerNearer;
    static bool beats(double score, double best) { return nearer(score, best, order); }
    // A winning cosine pushed just above 1 by rounding gives NaN; it is
    // only stored.
    static double distance(double best) { return std::acos(best); }
};

}  // namespace spherebench
