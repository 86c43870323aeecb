// Proximity by direction cosines: every airport's pair is decoded to a unit
// vector for every test and scored by its squared chord to the point, so no
// trigonometric function and no square root of a distance runs per test.
#pragma once

#include "bench/search.h"
#include "geo/coords.h"
#include "input/tables.h"

namespace spherebench {

// The central angle 2*asin(sqrt(a)/2) of a squared chord a between unit
// vectors, by its power series truncated after the a^9 term. Exact in form
// for short distances; it falls short with distance: about 2e-5 below pi/2 at
// a = 2, and about 2.78 instead of pi at a = 4. Below kSmallestRootArgument
// (geo/coords.h) it gives 0.
double chord2_to_arc(double a);

// The point as a test meets it. The score is written
//   ((u - a)^2 + V) + W  when the airport's major axis is Z,
//   ((u - a)^2 + W) + V  otherwise,
// with V = (v - b)^2 and W = (w - c)^2, where u, v, w are the airport's
// decoded cosines (w the computed one) and (a, b, c) are the point's
// components in the order and with the signs that the airport's flag case
// pairs them with. That is the squared chord between the decoded airport and
// the point, bit for bit: a sign the decoder would give an airport component
// goes onto the point's instead ((-x) - p and x - (-p) differ at most in the
// sign of their square's argument), and the first two terms are summed in
// whichever order puts u's first (addition commutes), leaving the term the
// decoder puts in z last. So every test decodes the airport's pair afresh,
// yet moves and negates none of its components; only the order of the sum
// depends on the axis.
struct CdcPoint {
    struct Arrangement {
        double a, b, c;
        double unused;  // pads an arrangement to 32 bytes
    };
    // By flag case: the axis Z bit, the axis Y bit, the negative-major bit.
    Arrangement by_case[8];
};

inline unsigned cdc_flag_case(CdcPair pair) {
    const uint32_t first = static_cast<uint32_t>(pair.first), second = static_cast<uint32_t>(pair.second);
    return ((second >> (kCdcAxisYShift - 1)) & 6u) | ((first >> kCdcNegativeMajorShift) & 1u);
}

// The decoded airport per flag case, and the point's components paired with
// (u, v, w) in that order.
inline CdcPoint arrange_point(UnitVector p) {
    return {{
        {p.y, p.z, p.x, 0},
        {-p.y, p.z, -p.x, 0},  // axis X: ( w,  u, v), (-w, -u,  v)
        {-p.x, p.z, p.y, 0},
        {p.x, p.z, -p.y, 0},  // axis Y: (-u,  w, v), ( u, -w,  v)
        {p.y, -p.x, p.z, 0},
        {p.y, p.x, -p.z, 0},  // axis Z: (-v,  u, w), ( v,  u, -w)
        {p.y, -p.x, p.z, 0},
        {p.y, p.x, -p.z, 0},  // axis Z: bit 30 of the second word unread
    }};
}

struct CdcMethod {
    using Stored = CdcPair;
    using Point = CdcPoint;

    static constexpr const char* title = "==== (test proximity using CDC coordinates) ===\n";
    static constexpr const char* internal_error = "Unexpected internal error in airport search (a).\n";
    static constexpr double initial_best = kStartScore;

    static const CdcPair* stored_airports(const AirportTable& airports) { return airports.cdc.data(); }
    static CdcPoint prepare_point(const FlightLine& flight_line, int i) {
        return arrange_point(decode_cdc(flight_line.cdc[i]));
    }
    // The squared chord between the decoded airport and the point.
    static double score(CdcPair airport, const CdcPoint& p) {
        const CdcCosines c = decode_cosines(airport);
        const CdcPoint::Arrangement& q = p.by_case[cdc_flag_case(airport)];
        const double d0 = c.u - q.a;
        const double d1 = c.v - q.b;
        const double d2 = c.w - q.c;
        // The two squares ordered through a two-slot array: a branch on the
        // axis would be unpredictable on random directions, and g++ makes a
        // data-dependent select of the sums cost more than two stores and
        // two loads.
        const double squares[2] = {d2 * d2, d1 * d1};
        const unsigned axis_z = static_cast<uint32_t>(airport.second) >> kCdcAxisZShift;
        return (d0 * d0 + squares[axis_z]) + squares[axis_z ^ 1u];
    }
    static bool beats(double score, double best) { return score < best; }
    static double distance(double best) { return chord2_to_arc(best); }
    static LatLong airport_position(const AirportTable& airports, int k) {
        return vector_to_latlong(decode_cdc(airports.cdc[k]));
    }
};

}  // namespace spherebench
