// The second bound the indexes skip nodes by, for queries far from them. A
// box bounds each coordinate apart, so its nearest corner to a far query
// stands off the sphere, nearer than any member by as much as the box is
// wide: seen from afar, a tight cluster's boxes all look as near as its
// near edge. But members lie on the unit sphere, where the two coordinates
// a, b of a face fix the third, m = sqrt(1 - a^2 - b^2) on the face's side;
// the members of a box lie on the patch of the sphere over it, and the
// nearest point of that patch to the query can be found exactly. Bounded by
// that, a far query passes over every node but the few that hold its
// winner.
//
// Unlike the boxes, this bound is not formed with the score's own
// operations: it takes off margins that cover every rounding, derived
// below, so that it is never above the score computed for any member.
#pragma once

#include <algorithm>
#include <cmath>

namespace spherebench {

// How far from 1 the length of a member or of a query may be for the bound
// to hold: vectors decoded from pairs and unit vectors in doubles are within
// 1e-15 of it. A face with a member further off (a pair whose major
// component the decoder set to 0, say) is searched by its boxes alone.
inline constexpr double kUnitSlack = 1e-13;

// Whether a vector of these coordinates has length within kUnitSlack of 1:
// its computed sum of squares lies within 1e-15 of the exact one (five
// roundings of a value near 1), so the exact | |p|^2 - 1 | is at most
// kUnitSlack, and | |p| - 1 | = | |p|^2 - 1 | / (|p| + 1) no more.
inline bool near_unit(double a, double b, double m) {
    return std::fabs((a * a + b * b) + m * m - 1.0) <= kUnitSlack - 1e-15;
}

// A query as the bound takes it: its coordinates on the face, its third
// one signed so that the face's members have m >= 0, and its squared length.
struct SphereQuery {
    double a, b, m;
    double length2;
};

inline SphereQuery sphere_query(double a, double b, double m_toward_face) {
    return {a, b, m_toward_face, (a * a + b * b) + m_toward_face * m_toward_face};
}

namespace sphere_bound_detail {

// q . p at the point of the patch over (a, b) (within the unit disk).
inline double dot_at(const SphereQuery& q, double a, double b) {
    return (q.a * a + q.b * b) + q.m * std::sqrt(std::max(0.0, (1.0 - a * a) - b * b));
}

// The greatest q . p along the edge a = e, b in [b0, b1], of a query with
// m > 0: there q . p is qa e + qb b + qm sqrt(r^2 - b^2), r^2 = 1 - e^2,
// concave in b, greatest at b = r qb / sqrt(qb^2 + qm^2) (where its
// derivative vanishes), so on the edge at that b clamped into it. A b off
// that by d, from roundings, loses only about 16 d^2 (the curvature is at
// most 32 where r^2 - b^2 >= 0.1), far below the margin taken.
inline double edge_most(const SphereQuery& q, double qa, double qb, double e, double b0, double b1) {
    const double b = std::clamp(std::sqrt(1.0 - e * e) * qb / std::sqrt(qb * qb + q.m * q.m), b0, b1);
    return qa * e + qb * b + q.m * std::sqrt(std::max(0.0, (1.0 - e * e) - b * b));
}

}  // namespace sphere_bound_detail

// A lower bound on the score (the squared chord, its three squares rounded
// and summed in any order) of every member p of a node whose box in (a, b)
// is [a0, a1] x [b0, b1], all of its members and the query within kUnitSlack
// of unit length; 0 where it rules nothing out.
//
// Why, with u = 2^-53 the relative rounding of an operation:
// - Each member p lies within 2 kUnitSlack of the point P of the patch over
//   its (a, b): its m differs from sqrt(1 - a^2 - b^2) by
//   | |p|^2 - 1 | / (m + sqrt(1 - a^2 - b^2)), and both exceed sqrt(0.1)
//   in the boxes taken (below).
// - |q - P|^2 = |q|^2 + 1 - 2 q . P, so the patch's greatest q . P, F,
//   gives the least distance. With m > 0 for the query, q . P is concave
//   over the box: its greatest is at (qa, qb) / |q| where that lies in the
//   box (then nothing is ruled out), and otherwise on an edge whose
//   constraint that point breaks (from any other boundary point, the segment
//   towards it enters the box and rises); an edge is tried wherever (qa, qb)
//   lies within 1e-12 of breaking it, which covers every |q| within
//   kUnitSlack of 1. With m <= 0, q . P is convex: greatest at a corner.
//   Every value of q . P is found within 2e-15, so F + 1e-14 bounds F.
// - The box must lie within the disk a^2 + b^2 <= 0.9 (every unit vector of
//   a face has a^2 + b^2 <= 2/3), where the patch is defined, the roots'
//   arguments are at least 0.1 (so their roundings move them by under
//   5e-16) and the curvature is bounded; else nothing is ruled out.
// - d2 below, less 1e-14 for its roundings, is at most |q - P|^2; then
//   |q - p| >= sqrt(d2) - 2 kUnitSlack, and g, with the root's and the
//   product's roundings taken off, is at most that. A member's computed
//   score is at least |q - p|^2 (1 - 5u) (non-negative terms), above the
//   bound g * g (1 - 2e-15) with its own two roundings.
// - Where the score is measured from another query q' within query_error
//   of q (the exact vector of a computed one), |q' - p| >= |q - p| -
//   query_error, which g takes off too; the bound then holds for |q' - p|^2.
inline double sphere_box_bound(const SphereQuery& q, double a0, double a1, double b0, double b1,
                               double query_error = 0.0) {
    using sphere_bound_detail::dot_at;
    using sphere_bound_detail::edge_most;
    constexpr double kEdge = 1e-12;
    if (!(std::max(a0 * a0, a1 * a1) + std::max(b0 * b0, b1 * b1) <= 0.9)) return 0.0;
    double most = -4.0;
    if (q.m > 0.0) {
        const bool left = q.a<a0 + kEdge, right = q.a> a1 - kEdge;
        const bool below = q.b<b0 + kEdge, above = q.b> b1 - kEdge;
        if (!(left || right || below || above)) return 0.0;  // the query lies over the box
        if (left) most = std::max(most, edge_most(q, q.a, q.b, a0, b0, b1));
        if (right) most = std::max(most, edge_most(q, q.a, q.b, a1, b0, b1));
        if (below) most = std::max(most, edge_most(q, q.b, q.a, b0, a0, a1));
        if (above) most = std::max(most, edge_most(q, q.b, q.a, b1, a0, a1));
    } else {
        most = std::max({dot_at(q, a0, b0), dot_at(q, a0, b1), dot_at(q, a1, b0), dot_at(q, a1, b1)});
    }
    const double d2 = ((q.length2 + 1.0) - 2.0 * (most + 1e-14)) - 1e-14;
    if (!(d2 > 0.0)) return 0.0;
    const double g = std::sqrt(d2) * (1.0 - 2e-15) - (2 * kUnitSlack + 1e-15 + query_error);
    return g > 0.0 ? g * g * (1.0 - 2e-15) : 0.0;
}

}  // namespace spherebench
