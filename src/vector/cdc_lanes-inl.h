// What the direction-cosine vector searches share, compiled once per Highway
// target (included from each search's per-target code): decoding a vector of
// pairs, and the squared chords of a vector of locations of one flag case.

// Per-target include guard, as Highway's foreach_target requires.
#if defined(SPHEREBENCH_CDC_LANES_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef SPHEREBENCH_CDC_LANES_INL_H_
#undef SPHEREBENCH_CDC_LANES_INL_H_
#else
#define SPHEREBENCH_CDC_LANES_INL_H_
#endif

#include <hwy/highway.h>

#include "method/cdc_method.h"
#include "method/nearest.h"
#include "vector/cdc_case_groups.h"
#include "vector/vector_lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace spherebench::cdc_lanes {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
// The one-lane fallback over a grouped table: every pair with its own flag
// case, the lowest table index on ties.
inline Nearest grouped_search_one_lane(const CdcCaseGroups& groups, CdcPair point) {
    const CdcPoint p = spherebench::arrange_point(decode_cdc(point));
    Nearest nearest{kNoWinner, kStartScore};
    for (size_t j = 0; j < groups.pairs.size(); ++j) {
        const double s = CdcMethod::score(groups.pairs[j], p);
        const int32_t index = static_cast<int32_t>(groups.indices[j]);
        if (s < nearest.score || (s == nearest.score && index < nearest.index)) nearest = {index, s};
    }
    return nearest;
}
#else
using namespace vector_lanes::HWY_NAMESPACE;

// stored_cosine of both words: shifted left by 2, with bit 1 set (the shift
// left it clear, so adding 2 sets it) and biased by 2^31 (adding 0x80000000
// modulo 2^32), then converted and scaled.
struct Cosines {
    V u, v;
};
HWY_INLINE Cosines stored_cosines(VU pairs) {
    const D d;
    const DU32 d32;
    const auto [first, second] =
        words_as_doubles(hn::Add(hn::ShiftLeft<2>(hn::BitCast(d32, pairs)), hn::Set(d32, 0x80000002u)));
    const V scale = hn::Set(d, kCosineScale);
    return {hn::Mul(first, scale), hn::Mul(second, scale)};
}

// decode_cosines of every pair: u, v and the computed w.
struct Decoded {
    V u, v, w;
};
HWY_INLINE Decoded decode_lanes(VU pairs) {
    const D d;
    const auto [u, v] = stored_cosines(pairs);
    const V s = hn::Sub(hn::Sub(hn::Set(d, 1.0), hn::Mul(u, u)), hn::Mul(v, v));
    return {u, v, hn::IfThenElseZero(hn::Ge(s, hn::Set(d, kSmallestRootArgument)), hn::Sqrt(s))};
}

// The squared chords of a vector of locations of one flag case: (a, b, c) are
// the point's partners of u, v and w for that case (CdcPoint), the same in
// every lane, and the order of the sum is the case's, as in CdcMethod::score.
template <bool kAxisZ>
struct CaseChords {
    V a, b, c;

    HWY_INLINE V operator()(VU pairs) const {
        const auto [u, v, w] = decode_lanes(pairs);
        const V d0 = hn::Sub(u, a);
        const V d1 = hn::Sub(v, b);
        const V d2 = hn::Sub(w, c);
        const V first = hn::Mul(d0, d0), second = hn::Mul(d1, d1), third = hn::Mul(d2, d2);
        return kAxisZ ? hn::Add(hn::Add(first, second), third) : hn::Add(hn::Add(first, third), second);
    }
};

template <bool kAxisZ>
HWY_INLINE CaseChords<kAxisZ> case_chords(const CdcPoint::Partners& q) {
    const D d;
    return {hn::Set(d, q.a), hn::Set(d, q.b), hn::Set(d, q.c)};
}
#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::cdc_lanes
HWY_AFTER_NAMESPACE();

#endif  // per-target include guard
