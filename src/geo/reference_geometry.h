// Reference geometry in long double on the source coordinates, independent
// of the benchmark's arithmetic: what the accuracy report and the tests on
// the bundled data measure the stored forms and the two searches against.
// Slow, and never used by the benchmark.
#pragma once

#include <limits>
#include <vector>

#include "geo/coords.h"
#include "geo/vectors.h"

namespace spherebench {

struct PreciseVector {
    long double x, y, z;
};

struct PreciseLatLong {
    long double latitude;   // degrees
    long double longitude;  // degrees
};

PreciseVector precise_vector(PreciseLatLong position);
PreciseVector precise_vector(UnitVector v);
// The direction of a fixed-point latitude/longitude, exactly as its integers
// stand (n * pi / kFixedPi radian), not as from_fixed rounds them.
PreciseVector precise_vector(FixedLatLong f);
// The direction of a latitude and longitude in radians, exactly as the
// doubles stand.
PreciseVector precise_vector(LatLong radians);
PreciseLatLong precise_lat_long(PreciseVector v);

// angle_between, cross, dot and norm (geo/vectors.h) take PreciseVectors too.

// The great-circle distance in metres by the haversine formula.
long double haversine_metres(PreciseLatLong a, PreciseLatLong b);

// `count` points from a to b inclusive at equal angular steps along the
// shorter great circle, by spherical interpolation.
std::vector<PreciseLatLong> precise_great_circle(PreciseLatLong a, PreciseLatLong b, int count);

// The nearest two of a list of airports by some distance: offered every
// airport in order, it keeps the nearest (the lowest index among equals) and
// the runner-up. -1 and infinity until offered one and two airports.
template <typename Real>
struct NearestTwo {
    int nearest = -1;
    Real nearest_metres = std::numeric_limits<Real>::infinity();
    int second = -1;
    Real second_metres = std::numeric_limits<Real>::infinity();

    void offer(int index, Real metres) {
        if (metres < nearest_metres) {
            second = nearest;
            second_metres = nearest_metres;
            nearest = index;
            nearest_metres = metres;
        } else if (metres < second_metres) {
            second = index;
            second_metres = metres;
        }
    }
};

// The airport nearest the position by haversine distance and the runner-up.
using NearestAirports = NearestTwo<long double>;
NearestAirports precise_nearest(PreciseLatLong position, const std::vector<PreciseLatLong>& airports);

}  // namespace spherebench
