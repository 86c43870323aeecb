// Proximity by direction cosines: every airport's pair is decoded to a unit
// vector for every test and scored by its squared chord to the point, so no
// trigonometric function and no square root of a distance runs per test.
#pragma once

#include "geo/coords.h"
#include "input/tables.h"

// The central angle 2*asin(sqrt(a)/2) of a squared chord a between unit
// vectors, by its power series truncated after the a^9 term. Exact in form
// for short distances; it falls short with distance: about 2e-5 below pi/2 at
// a = 2, and about 2.78 instead of pi at a = 4. Below 2.458e-14 it gives 0.
double chord2_to_arc(double a);

struct CdcMethod {
    using Stored = CdcPair;
    using Point = UnitVector;

    static constexpr const char* title = "==== (test proximity using CDC coordinates) ===\n";
    static constexpr const char* internal_error = "Unexpected internal error in airport search (a).\n";
    // Just below the largest double; every squared chord is far smaller.
    static constexpr double initial_best = 1.7976931348623e308;

    static const CdcPair* stored_airports(const AirportTable& airports) { return airports.cdc.data(); }
    static UnitVector prepare_point(const FlightLine& flight_line, int i) {
        return decode_cdc(flight_line.cdc[i]);
    }
    // The squared chord, summed as (dx*dx + dy*dy) + dz*dz.
    static double score(CdcPair airport, const UnitVector& p) {
        const UnitVector v = decode_cdc(airport);
        const double dx = v.x - p.x;
        const double dy = v.y - p.y;
        const double dz = v.z - p.z;
        return (dx * dx + dy * dy) + dz * dz;
    }
    static bool beats(double score, double best) { return score < best; }
    static double distance(double best) { return chord2_to_arc(best); }
    static LatLong airport_position(const AirportTable& airports, int k) {
        return vector_to_latlong(decode_cdc(airports.cdc[k]));
    }
};
