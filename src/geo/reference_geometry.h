// Reference geometry in long double on the source coordinates, independent
// of the benchmark's arithmetic: what the accuracy report and the tests on
// the bundled data measure the stored forms and the two searches against.
// Slow, and never used by the benchmark.
#pragma once

#include <vector>

#include "geo/coords.h"

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
// stand (n * pi / 2147483640 radian), not as from_fixed rounds them.
PreciseVector precise_vector(FixedLatLong f);
// The direction of a latitude and longitude in radians, exactly as the
// doubles stand.
PreciseVector precise_vector(LatLong radians);
PreciseLatLong precise_lat_long(PreciseVector v);

// The angle in radians between the directions of two vectors of any length:
// atan2(|a x b|, a . b).
long double angle_between(PreciseVector a, PreciseVector b);

// The great-circle distance in metres by the haversine formula.
long double haversine_metres(PreciseLatLong a, PreciseLatLong b);

// `count` points from a to b inclusive at equal angular steps along the
// shorter great circle, by spherical interpolation.
std::vector<PreciseLatLong> precise_great_circle(PreciseLatLong a, PreciseLatLong b, int count);

// The airport nearest the position by haversine distance (the lowest index
// among equals) and the runner-up, with their distances.
struct NearestAirports {
    int nearest;
    long double nearest_metres;
    int second;
    long double second_metres;
};
NearestAirports precise_nearest(PreciseLatLong position, const std::vector<PreciseLatLong>& airports);

}  // namespace spherebench
