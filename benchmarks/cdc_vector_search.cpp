#include "cdc_vector_search.h"

#include <cstdint>
#include <cstring>
#include <limits>

// Highway compiles everything below once per target.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "cdc_vector_search.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace cdc_vector {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

constexpr double kInitialBest = 1.7976931348623e308;  // what any score beats

#if HWY_TARGET == HWY_SCALAR
// The fallback for CPUs without SSSE3, one lane wide: the plain loop.
Nearest CdcVectorSearch(const CdcPair* airports, int count, CdcPair point) {
    const UnitVector p = decode_cdc(point);
    Nearest nearest{kNoWinner, kInitialBest};
    for (int j = 0; j < count; ++j) {
        const UnitVector a = decode_cdc(airports[j]);
        const double dx = a.x - p.x, dy = a.y - p.y, dz = a.z - p.z;
        const double score = (dx * dx + dy * dy) + dz * dz;
        if (score < nearest.score) nearest = {j, score};
    }
    return nearest;
}
#else
using D = hn::ScalableTag<double>;
using DU = hn::RebindToUnsigned<D>;         // a pair as one 64-bit lane
using DU32 = hn::Repartition<uint32_t, D>;  // its two words
using V = hn::Vec<D>;
using VU = hn::Vec<DU>;

// Airports per unrolled step, each vector with its own best-so-far.
constexpr int kUnroll = 2;

// A pair loaded as a 64-bit lane: the first word in the low half, the second
// in the high half, so bit 63 is the second word's bit 31 (major axis Z),
// bit 62 its bit 30 (axis Y unless Z) and bit 30 the first word's bit 30
// (major component negative).
HWY_INLINE VU load_pairs(const CdcPair* p) {
    static_assert(sizeof(CdcPair) == sizeof(uint64_t));
    return hn::LoadU(DU(), reinterpret_cast<const uint64_t*>(p));
}

// The stored cosines of both words, as stored_cosine computes them: the word
// shifted left by 2 with bit 1 set, read as int32 x, converted to double and
// scaled. The conversion goes through the double 2^52 + (x + 2^31), whose
// bits are 0x43300000 over the biased word, minus 2^52 + 2^31: both steps are
// exact, so the result is x as a double, as the scalar conversion gives it.
// Adding 0x80000002 to the shifted word sets bit 1 (the shift left it clear)
// and adds the bias 2^31 (modulo 2^32 the same as flipping bit 31).
struct Cosines {
    V u, v;
};
HWY_INLINE Cosines stored_cosines(VU pairs) {
    const D d;
    const DU du;
    const DU32 d32;
    const auto biased = hn::Add(hn::ShiftLeft<2>(hn::BitCast(d32, pairs)), hn::Set(d32, 0x80000002u));
    const VU high = hn::Set(du, 0x4330000000000000ull);
    const VU first = hn::BitCast(du, hn::OddEven(hn::BitCast(d32, high), biased));
    const VU second = hn::Or(hn::ShiftRight<32>(hn::BitCast(du, biased)), high);
    const V offset = hn::Set(d, 4503601774854144.0);  // 2^52 + 2^31
    const V scale = hn::Set(d, kCosineScale);
    return {hn::Mul(hn::Sub(hn::BitCast(d, first), offset), scale),
            hn::Mul(hn::Sub(hn::BitCast(d, second), offset), scale)};
}

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
    // Fewer lanes: chosen by sign-bit masks; the minus signs separately.
    V px, py, pz, neg_px, neg_py, neg_pz;
#endif
};

HWY_INLINE PointSide arrange_point(UnitVector p) {
    const D d;
#if HWY_TARGET <= HWY_AVX3
    alignas(64) const double a[8] = {p.y, -p.y, -p.x, p.x, p.y, p.y, p.y, p.y};
    alignas(64) const double b[8] = {p.x, -p.x, p.y, -p.y, -p.x, p.x, -p.x, p.x};
    alignas(64) const double c[8] = {p.z, p.z, p.z, p.z, p.z, -p.z, p.z, -p.z};
    return {hn::Load(d, a), hn::Load(d, b), hn::Load(d, c)};
#else
    return {hn::Set(d, p.x), hn::Set(d, p.y), hn::Set(d, p.z),
            hn::Set(d, -p.x), hn::Set(d, -p.y), hn::Set(d, -p.z)};
#endif
}

// The squared chords of the airports in one vector of pairs.
HWY_INLINE V squared_chords(VU pairs, const PointSide& q) {
    const D d;
    const auto [u, v] = stored_cosines(pairs);
    const V s = hn::Sub(hn::Sub(hn::Set(d, 1.0), hn::Mul(u, u)), hn::Mul(v, v));
    // The root is taken in every lane and kept where s reaches the threshold.
    const V w = hn::IfThenElseZero(hn::Ge(s, hn::Set(d, kMajorThreshold)), hn::Sqrt(s));

    const V axis_z = hn::BitCast(d, pairs);  // negative where the major axis is Z
    const V m = hn::IfNegativeThenElse(axis_z, v, w);
    const V n = hn::IfNegativeThenElse(axis_z, w, v);
#if HWY_TARGET <= HWY_AVX3
    const DU du;
    const VU flag_case = hn::OrAnd(hn::And(hn::ShiftRight<61>(pairs), hn::Set(du, 6)),
                                   hn::ShiftRight<30>(pairs), hn::Set(du, 1));
    const auto index = hn::IndicesFromVec(d, flag_case);
    const V a = hn::TableLookupLanes(q.a, index);
    const V b = hn::TableLookupLanes(q.b, index);
    const V c = hn::TableLookupLanes(q.c, index);
#else
    // Masks in the sign bit: axis Y (bit 62 set, bit 63 clear); a minus sign
    // on a, on b, on c (see the table above PointSide).
    const VU bit62 = hn::ShiftLeft<1>(pairs);
    const VU negative = hn::ShiftLeft<33>(pairs);
    const V axis_y = hn::BitCast(d, hn::AndNot(pairs, bit62));
    const V minus_a = hn::BitCast(d, hn::AndNot(pairs, hn::Xor(negative, bit62)));
    const V minus_b = hn::BitCast(d, hn::Xor(negative, pairs));
    const V minus_c = hn::BitCast(d, hn::And(negative, pairs));
    const V a = hn::IfNegativeThenElse(axis_y, hn::IfNegativeThenElse(minus_a, q.neg_px, q.px),
                                       hn::IfNegativeThenElse(minus_a, q.neg_py, q.py));
    const V b = hn::IfNegativeThenElse(axis_y, hn::IfNegativeThenElse(minus_b, q.neg_py, q.py),
                                       hn::IfNegativeThenElse(minus_b, q.neg_px, q.px));
    const V c = hn::IfNegativeThenElse(minus_c, q.neg_pz, q.pz);
#endif
    const V d0 = hn::Sub(u, a);
    const V d1 = hn::Sub(m, b);
    const V d2 = hn::Sub(n, c);
    return hn::Add(hn::Add(hn::Mul(d0, d0), hn::Mul(d1, d1)), hn::Mul(d2, d2));
}

// Per lane, the smallest score met so far and where: `start` is the index of
// the first airport of the step that set it. A lane meets its airports in
// index order and only a strictly smaller score replaces its best, so each
// lane keeps the earliest of its equal scores.
struct LaneBests {
    V score, start;
};

HWY_INLINE void keep_smaller(LaneBests& best, V score, V start) {
    const auto smaller = hn::Lt(score, best.score);
    best.score = hn::IfThenElse(smaller, score, best.score);
    best.start = hn::IfThenElse(smaller, start, best.start);
}

Nearest CdcVectorSearch(const CdcPair* airports, int count, CdcPair point) {
    const D d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const PointSide q = arrange_point(decode_cdc(point));

    LaneBests best[kUnroll];
    for (LaneBests& b : best) b = {hn::Set(d, kInitialBest), hn::Set(d, -1.0)};
    V start = hn::Zero(d);
    const V step = hn::Set(d, static_cast<double>(kUnroll * lanes));
    int j = 0;
    for (; j + kUnroll * lanes <= count; j += kUnroll * lanes) {
        for (int k = 0; k < kUnroll; ++k)
            keep_smaller(best[k], squared_chords(load_pairs(airports + j + k * lanes), q), start);
        start = hn::Add(start, step);
    }
    // The rest, one vector at a time into the first lanes' bests, whose
    // airports all come before these; the last part vector from a copy, its
    // missing lanes scoring infinity, which never beats.
    for (; j < count; j += lanes) {
        const int left = count - j;
        V score;
        if (left >= lanes) {
            score = squared_chords(load_pairs(airports + j), q);
        } else {
            HWY_ALIGN CdcPair part[hn::MaxLanes(d)] = {};
            std::memcpy(part, airports + j, sizeof(CdcPair) * static_cast<size_t>(left));
            score = hn::IfThenElse(hn::FirstN(d, static_cast<size_t>(left)), squared_chords(load_pairs(part), q),
                                   hn::Inf(d));
        }
        keep_smaller(best[0], score, hn::Set(d, static_cast<double>(j)));
    }

    // Lane i of best[k] stands for airport start + k * lanes + i. Of equal
    // scores the lowest index wins, as in the scalar search.
    Nearest nearest{kNoWinner, kInitialBest};
    HWY_ALIGN double score[hn::MaxLanes(d)];
    HWY_ALIGN double first[hn::MaxLanes(d)];
    for (int k = 0; k < kUnroll; ++k) {
        hn::Store(best[k].score, d, score);
        hn::Store(best[k].start, d, first);
        for (int i = 0; i < lanes; ++i) {
            if (!(score[i] < kInitialBest)) continue;  // the lane never held an airport's score
            const int32_t index = static_cast<int32_t>(first[i]) + k * lanes + i;
            if (score[i] < nearest.score || (score[i] == nearest.score && index < nearest.airport))
                nearest = {index, score[i]};
        }
    }
    return nearest;
}
#endif

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

}  // namespace HWY_NAMESPACE
}  // namespace cdc_vector
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace cdc_vector {
HWY_EXPORT(CdcVectorSearch);
HWY_EXPORT(TargetName);
}  // namespace cdc_vector

Nearest cdc_vector_find_nearest(const CdcPair* airports, int count, CdcPair point) {
    return HWY_DYNAMIC_DISPATCH(cdc_vector::CdcVectorSearch)(airports, count, point);
}

const char* vector_target_name() { return HWY_DYNAMIC_DISPATCH(cdc_vector::TargetName)(); }
#endif
