#include "vector/cdc_vector_search.h"

// Highway compiles everything below once per target.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "vector/cdc_vector_search.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "vector/cdc_lanes-inl.h"
#include "vector/vector_lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace spherebench::cdc_vector {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using namespace cdc_lanes::HWY_NAMESPACE;
using namespace vector_lanes::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
// The one-lane fallback: the squared chord as written.
Nearest CdcVectorSearch(const CdcPair* airports, int count, CdcPair point) {
    const UnitVector p = decode_cdc(point);
    return search_lanes</*kSmallerWins=*/true, 1>(airports, count, kStartScore, [p](CdcPair airport) {
        const UnitVector a = decode_cdc(airport);
        const double dx = a.x - p.x, dy = a.y - p.y, dz = a.z - p.z;
        return (dx * dx + dy * dy) + dz * dz;
    });
}

// Every pair with its own flag case, the lowest table index on ties.
Nearest CdcGroupedSearch(const CdcCaseGroups& groups, CdcPair point) { return grouped_search_one_lane(groups, point); }

double SumOfSquareRoots(const double* values, int count) {
    double sum = 0;
    for (int j = 0; j < count; ++j) sum += std::sqrt(values[j]);
    return sum;
}

double SumOfStoredCosines(const CdcPair* pairs, int count) {
    double sum = 0;
    for (int j = 0; j < count; ++j) sum += stored_cosine(pairs[j].first) + stored_cosine(pairs[j].second);
    return sum;
}
#else
// Airports per unrolled step, each vector with its own bests.
constexpr int kUnroll = 2;

// A pair is read as one 64-bit lane (first word low), so bit 63 is the second
// word's bit 31 (major axis Z), bit 62 its bit 30 (axis Y unless Z) and bit 30
// the first word's bit 30 (major component negative).
//
// The point's components that each airport is paired with, so that the score
// is ((u - a)^2 + (m - b)^2) + (n - c)^2 with (m, n) = (v, w) for major axis
// Z and (w, v) otherwise. That is the squared chord between the decoded
// airport and the point bit for bit: the decoder's placing of u, v, w into
// x, y, z only reorders the first two terms, and addition commutes; a sign
// it gives an airport component is put on the point's instead, which only
// flips the sign of the difference inside a square. By flag case:
//   axis X: (a, b, c) = ( py,  px, pz), negative (-py, -px,  pz)
//   axis Y:             (-px,  py, pz), negative ( px, -py,  pz)
//   axis Z:             ( py, -px, pz), negative ( py,  px, -pz)
struct PointSide {
#if HWY_TARGET <= HWY_AVX3
    // Eight lanes: one table per component, indexed by the flag case
    // (second word bit 31, bit 30, first word bit 30), looked up per lane.
    V a, b, c;
#else
    // Fewer lanes: exchanged and negated by masks of the flag bits, with
    // exclusive ors (selections cost more than these here).
    V px, py, pz;
    VU px_xor_py;
#endif
};

HWY_INLINE PointSide point_side(UnitVector p) {
    const D d;
#if HWY_TARGET <= HWY_AVX3
    alignas(64) const double a[8] = {p.y, -p.y, -p.x, p.x, p.y, p.y, p.y, p.y};
    alignas(64) const double b[8] = {p.x, -p.x, p.y, -p.y, -p.x, p.x, -p.x, p.x};
    alignas(64) const double c[8] = {p.z, p.z, p.z, p.z, p.z, -p.z, p.z, -p.z};
    return {hn::Load(d, a), hn::Load(d, b), hn::Load(d, c)};
#else
    const V px = hn::Set(d, p.x), py = hn::Set(d, p.y);
    return {px, py, hn::Set(d, p.z), hn::Xor(hn::BitCast(DU(), px), hn::BitCast(DU(), py))};
#endif
}

// The squared chords of the airports in one vector of pairs to the point.
struct SquaredChords {
    PointSide q;

    HWY_INLINE V operator()(VU pairs) const {
        const D d;
        const auto [u, v, w] = decode_lanes(pairs);

#if HWY_TARGET <= HWY_AVX3
        // Bit 63 is set where the major axis is Z; AVX-512 makes its masks
        // from bit 63 alone.
        const V axis_z = hn::BitCast(d, pairs);
        const V m = hn::IfNegativeThenElse(axis_z, v, w);
        const V n = hn::IfNegativeThenElse(axis_z, w, v);
        const DU du;
        // Bits 63 and 62 shifted to bits 2 and 1, and bit 0 taken from bit 30
        // by one bitwise select (vpternlog); the lookups read bits 0-2 only.
        const VU one = hn::Set(du, 1);
        const VU flag_case =
            hn::Or(hn::AndNot(one, hn::ShiftRight<61>(pairs)), hn::And(one, hn::ShiftRight<30>(pairs)));
        const auto index = hn::IndicesFromVec(d, flag_case);
        const V a = hn::TableLookupLanes(q.a, index);
        const V b = hn::TableLookupLanes(q.b, index);
        const V c = hn::TableLookupLanes(q.c, index);
#else
        const DU du;
#if HWY_TARGET == HWY_AVX2
        // vblendvpd reads bit 63 (axis Z) of each pair itself: two
        // instructions where the exclusive ors below take five (one
        // micro-operation each on AMD Zen, two or three on recent Intel cores).
        const V axis_z = hn::BitCast(d, pairs);
        const V m = hn::IfNegativeThenElse(axis_z, v, w);
        const V n = hn::IfNegativeThenElse(axis_z, w, v);
#else
        // x ^ ((x ^ y) & mask) is y where the mask is all ones, else x.
        const VU v_bits = hn::BitCast(du, v), w_bits = hn::BitCast(du, w);
        const VU exchange_vw = hn::And(hn::Xor(v_bits, w_bits), all_ones_where_top_bit(pairs));  // axis Z
        const V m = hn::BitCast(d, hn::Xor(w_bits, exchange_vw));
        const V n = hn::BitCast(d, hn::Xor(v_bits, exchange_vw));
#endif
        // Axis Y (bit 62 set, bit 63 clear): a and b from px and py exchanged.
        const VU bit62 = hn::ShiftLeft<1>(pairs);
        const VU exchange_xy = hn::And(q.px_xor_py, all_ones_where_top_bit(hn::AndNot(pairs, bit62)));
        // The minus signs of a, b and c (see the table above PointSide), in
        // bit 63 alone.
        const VU sign = hn::Set(du, 0x8000000000000000ull);
        const VU negative = hn::ShiftLeft<33>(pairs);
        const VU minus_a = hn::And(hn::AndNot(pairs, hn::Xor(negative, bit62)), sign);
        const VU minus_b = hn::And(hn::Xor(negative, pairs), sign);
        const VU minus_c = hn::And(hn::And(negative, pairs), sign);
        const V a = hn::BitCast(d, hn::Xor3(hn::BitCast(du, q.py), exchange_xy, minus_a));
        const V b = hn::BitCast(d, hn::Xor3(hn::BitCast(du, q.px), exchange_xy, minus_b));
        const V c = hn::BitCast(d, hn::Xor(hn::BitCast(du, q.pz), minus_c));
#endif
        const V d0 = hn::Sub(u, a);
        const V d1 = hn::Sub(m, b);
        const V d2 = hn::Sub(n, c);
        return hn::Add(hn::Add(hn::Mul(d0, d0), hn::Mul(d1, d1)), hn::Mul(d2, d2));
    }
};

Nearest CdcVectorSearch(const CdcPair* airports, int count, CdcPair point) {
    const SquaredChords score{point_side(decode_cdc(point))};
    return search_lanes</*kSmallerWins=*/true, kUnroll>(airports, count, kStartScore, score);
}

// One group into `best`, whose lanes hold table indices. The group's own
// bests keep, per lane, the earliest of equal scores, which is the lowest
// index (a group is in table order); merging them keeps the lowest across
// groups. Groups are padded to whole vectors on every x86 target.
template <bool kAxisZ>
HWY_INLINE void search_group(const CdcCaseGroups& groups, int g, const CdcPoint::Partners& q, LaneBests& best) {
    const D d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const CaseChords<kAxisZ> score = case_chords<kAxisZ>(q);
    const CdcPair* pairs = groups.pairs.data();
    const double* indices = groups.indices.data();
    LaneBests own[kUnroll];
    for (LaneBests& b : own) b = LaneBests(hn::Set(d, kStartScore), hn::Set(d, -1.0));
    int j = groups.begin[g];
    const int end = groups.begin[g + 1];
    for (; j + kUnroll * lanes <= end; j += kUnroll * lanes) {
#pragma GCC unroll 8
        for (int k = 0; k < kUnroll; ++k) {
            const int at = j + k * lanes;
            keep_better<true>(own[k], score(load_records(pairs + at)), hn::LoadU(d, indices + at));
        }
    }
    for (; j + lanes <= end; j += lanes)
        keep_better<true>(own[0], score(load_records(pairs + j)), hn::LoadU(d, indices + j));
    if (j < end) {  // only where a vector holds more doubles than kCdcGroupPadding
        const int left = end - j;
        const V scores =
            hn::IfThenElse(hn::FirstN(d, static_cast<size_t>(left)), score(load_part(pairs + j, left)), hn::Inf(d));
        keep_better<true>(own[0], scores, hn::BitCast(d, load_part(indices + j, left)));
    }
    for (const LaneBests& b : own) keep_better_or_lower<true>(best, b);
}

Nearest CdcGroupedSearch(const CdcCaseGroups& groups, CdcPair point) {
    const D d;
    const CdcPoint p = spherebench::arrange_point(decode_cdc(point));
    LaneBests best(hn::Set(d, kStartScore), hn::Set(d, -1.0));
    for (int g = 0; g < 4; ++g) search_group<false>(groups, g, p.by_case[g], best);
    for (int g = 4; g < kCdcCaseGroups; ++g) search_group<true>(groups, g, p.by_case[g], best);
    Nearest nearest{kNoWinner, kStartScore};
    fold_lanes<true>(nearest, best, kStartScore);
    return nearest;
}

// Parts of the search alone, in four independent sums so that they are
// bound by throughput, not by the additions' latency.
double SumOfSquareRoots(const double* values, int count) {
    const D d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    V sum[4] = {hn::Zero(d), hn::Zero(d), hn::Zero(d), hn::Zero(d)};
    for (int j = 0; j + 4 * lanes <= count; j += 4 * lanes)
        for (int k = 0; k < 4; ++k) sum[k] = hn::Add(sum[k], hn::Sqrt(hn::LoadU(d, values + j + k * lanes)));
    return hn::GetLane(hn::SumOfLanes(d, hn::Add(hn::Add(sum[0], sum[1]), hn::Add(sum[2], sum[3]))));
}

double SumOfStoredCosines(const CdcPair* pairs, int count) {
    const D d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    V sum[4] = {hn::Zero(d), hn::Zero(d), hn::Zero(d), hn::Zero(d)};
    for (int j = 0; j + 4 * lanes <= count; j += 4 * lanes) {
        for (int k = 0; k < 4; ++k) {
            const Cosines c = stored_cosines(load_records(pairs + j + k * lanes));
            sum[k] = hn::Add(sum[k], hn::Add(c.u, c.v));
        }
    }
    return hn::GetLane(hn::SumOfLanes(d, hn::Add(hn::Add(sum[0], sum[1]), hn::Add(sum[2], sum[3]))));
}
#endif

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::cdc_vector
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace spherebench::cdc_vector {
HWY_EXPORT(CdcVectorSearch);
HWY_EXPORT(CdcGroupedSearch);
HWY_EXPORT(TargetName);
HWY_EXPORT(SumOfSquareRoots);
HWY_EXPORT(SumOfStoredCosines);
}  // namespace spherebench::cdc_vector

namespace spherebench {

// Dispatched by the unqualified names: where only one target is compiled the
// dispatch is a direct call into that target's namespace within this one.
using namespace cdc_vector;

Nearest cdc_vector_find_nearest(const CdcPair* airports, int count, CdcPair point) {
    return HWY_DYNAMIC_DISPATCH(CdcVectorSearch)(airports, count, point);
}

Nearest cdc_grouped_find_nearest(const CdcCaseGroups& groups, CdcPair point) {
    return HWY_DYNAMIC_DISPATCH(cdc_vector::CdcGroupedSearch)(groups, point);
}

double vector_sum_of_square_roots(const double* values, int count) {
    return HWY_DYNAMIC_DISPATCH(SumOfSquareRoots)(values, count);
}

double vector_sum_of_stored_cosines(const CdcPair* pairs, int count) {
    return HWY_DYNAMIC_DISPATCH(SumOfStoredCosines)(pairs, count);
}

const char* vector_target_name() { return HWY_DYNAMIC_DISPATCH(TargetName)(); }

}  // namespace spherebench
#endif
