// Proximity by direction cosines: every airport's pair is decoded to a unit
// vector for every test and scored by its squared chord to the point, so no
// trigonometric function and no square root of a distance runs per test.
#pragma once

#include <bit>
#include <cstdint>

#include "geo/coords.h"
#include "method/nearest.h"

namespace spherebench {

// The central angle 2*asin(sqrt(a)/2) of a squared chord a between unit
// vectors, by its power series truncated after the a^9 term. Exact in form
// for short distances; it falls short with distance: about 2e-5 below pi/2 at
// a = 2, and about 2.78 instead of pi at a = 4. Below 2.458e-14 it gives 0.
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
    struct Partners {
        double a, b, c;
        double unused;  // pads the partners of one case to 32 bytes
    };
    // By flag case (cdc_flag_case).
    Partners by_case[kCdcFlagCases];
};

namespace cdc_point_detail {
// The point's component that u, v or w meets: the one the decoder would put
// it in, with the sign it would give it.
inline double partner(const double (&p)[3], CdcPlace place) { return place.negated ? -p[place.axis] : p[place.axis]; }

// The order of the sum (x, y, z) leaves last the term placed in z: never u's,
// w's on axis Z (the axis Z bit) and v's otherwise.
constexpr bool sum_order_follows_layout() {
    for (unsigned k = 0; k < kCdcFlagCases; ++k) {
        const bool axis_z = (static_cast<uint32_t>(cdc_flag_bits(k).second) >> kCdcAxisZShift) != 0;
        const CdcCaseLayout& c = kCdcLayout[k];
        if (c.u.axis == kCdcZ || (c.w.axis == kCdcZ) != axis_z || (c.major == kCdcZ) != axis_z) return false;
    }
    return true;
}
static_assert(sum_order_follows_layout());
}  // namespace cdc_point_detail

// The point's components paired with (u, v, w) in that order, per flag case
// of the airport (kCdcLayout).
inline CdcPoint arrange_point(UnitVector p) {
    const double components[3] = {p.x, p.y, p.z};
    CdcPoint point;
    // Unrolled, so that each case's places are constants: the same moves and
    // negations as the partners written out by hand.
#pragma GCC unroll 8
    for (unsigned k = 0; k < kCdcFlagCases; ++k) {
        const CdcCaseLayout& c = kCdcLayout[k];
        point.by_case[k] = {cdc_point_detail::partner(components, c.u), cdc_point_detail::partner(components, c.v),
                            cdc_point_detail::partner(components, c.w), 0};
    }
    return point;
}

// Ways of summing the three squares in the order the airport's axis asks
// for. All give the same double; which is fastest depends on the processor
// (a store and reload, integer masks, or a branch its predictor may learn on
// the data at hand), so the program picks one by a short trial on the loaded
// tables (pass/cdc_arrangement.h).
enum class CdcArrangement {
    kTwoSlotArray,  // the two later squares stored and read back by the axis bit
    kSelectBits,    // both sums formed, one picked by an integer mask on its bits
    kConditional,   // both sums formed, one picked by a conditional (g++: a branch)
};
inline constexpr int kCdcArrangementCount = 3;

// With V = v' * v' and W = w' * w' the squares of the airport's second and
// computed components' differences: (A + V) + W on axis Z, else (A + W) + V.
template <CdcArrangement kArrangement>
inline double cdc_ordered_sum(double A, double V, double W, uint32_t axis_z) {
    if constexpr (kArrangement == CdcArrangement::kTwoSlotArray) {
        // g++ keeps the array in memory: two stores and two loads, no branch.
        const double squares[2] = {W, V};
        return (A + squares[axis_z]) + squares[axis_z ^ 1u];
    } else if constexpr (kArrangement == CdcArrangement::kSelectBits) {
        const uint64_t z = std::bit_cast<uint64_t>((A + V) + W), other = std::bit_cast<uint64_t>((A + W) + V);
        const uint64_t mask = uint64_t{0} - axis_z;  // all ones on axis Z
        return std::bit_cast<double>((z & mask) | (other & ~mask));
    } else {
        return axis_z ? (A + V) + W : (A + W) + V;
    }
}

template <CdcArrangement kArrangement>
struct CdcMethodWith {
    using Stored = CdcPair;
    using Point = CdcPoint;

    // Just below the largest double; every squared chord is far smaller.
    static constexpr double initial_best = kStartScore;

    // A stored point as the score takes it.
    static CdcPoint prepare(CdcPair point) { return arrange_point(decode_cdc(point)); }
    // The squared chord between the decoded airport and the point.
    static double score(CdcPair airport, const CdcPoint& p) {
        const CdcCosines c = decode_cosines(airport);
        const CdcPoint::Partners& q = p.by_case[cdc_flag_case(airport)];
        const double d0 = c.u - q.a;
        const double d1 = c.v - q.b;
        const double d2 = c.w - q.c;
        // 1 where the major axis is Z: the order of the sum.
        const uint32_t axis_z = static_cast<uint32_t>(airport.second) >> kCdcAxisZShift;
        return cdc_ordered_sum<kArrangement>(d0 * d0, d1 * d1, d2 * d2, axis_z);
    }
    static constexpr ScoreOrder order = ScoreOrder::kSmallerNearer;
    // nearer(score, best, order) on the bits: squared chords are never
    // negative (nor NaN), so their bit patterns order as their values do,
    // and the comparison runs on integers, which is as fast or faster on
    // every processor measured.
    static bool beats(double score, double best) {
        return std::bit_cast<uint64_t>(score) < std::bit_cast<uint64_t>(best);
    }
    static double distance(double best) { return chord2_to_arc(best); }
};

// The arrangement every caller gets unless it picks one.
using CdcMethod = CdcMethodWith<CdcArrangement::kTwoSlotArray>;

// call(method) with the method of the arrangement chosen at run time: each
// arrangement's loop is compiled apart, so no test calls through a choice.
template <typename Call>
decltype(auto) with_cdc_method(CdcArrangement arrangement, Call&& call) {
    switch (arrangement) {
        case CdcArrangement::kSelectBits:
            return call(CdcMethodWith<CdcArrangement::kSelectBits>{});
        case CdcArrangement::kConditional:
            return call(CdcMethodWith<CdcArrangement::kConditional>{});
        case CdcArrangement::kTwoSlotArray:
            break;
    }
    return call(CdcMethod{});
}

}  // namespace spherebench
