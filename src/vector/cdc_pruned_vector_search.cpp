#include "vector/cdc_pruned_vector_search.h"

#include <algorithm>

#include "vector/pruning_bounds.h"

// Highway compiles everything below once per target.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "vector/cdc_pruned_vector_search.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "vector/cdc_lanes-inl.h"
#include "vector/vector_lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace spherebench::cdc_pruned_vector {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using namespace cdc_lanes::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
Nearest CdcPrunedVectorSearch(const CdcCaseGroups& groups, CdcPair point) {
    return grouped_search_one_lane(groups, point);
}
#else
using namespace vector_lanes::HWY_NAMESPACE;

using DF = hn::Repartition<float, D>;  // a pair's two words, one a lane
using DI = hn::RebindToSigned<DF>;
using VF = hn::Vec<DF>;
using VI = hn::Vec<DI>;
using MF = hn::Mask<DF>;

// Vectors filtered before any is tested for a pair that may win.
constexpr int kUnroll = 4;

// The best so far, and the filter's threshold for it (pruning_bounds.h).
struct Best {
    // Declared, as LaneBests' is (vector_lanes-inl.h).
    Best() : threshold(hn::Inf(DF())) {}
    Nearest nearest{kNoWinner, kStartScore};
    VF threshold;
};

// Both lanes of a pair hold the filter's sum for it, and the mask is set
// where that sum may still beat the best (pruning_bounds.cpp has the proof).
HWY_INLINE MF may_win(VU pairs, VI partners, VF threshold) {
    const DF df;
    const VI units = hn::ShiftLeft<2>(hn::BitCast(DI(), pairs));  // flag bits gone
    const VF difference = hn::ConvertTo(df, hn::Sub(units, partners));
    const VF squares = hn::Mul(difference, difference);
    return hn::Le(hn::Add(squares, hn::Reverse2(df, squares)), threshold);
}

// Folds the exact scores of `count` pairs from position j of groups.pairs
// into the best: the lower score, the lower table index among equal ones
// (the groups are not in table order among themselves).
HWY_INLINE void keep(Best& best, const CdcCaseGroups& groups, V scores, int j, int count) {
    const D d;
    if (hn::AllFalse(d, hn::Le(scores, hn::Set(d, best.nearest.score)))) return;
    HWY_ALIGN double s[hn::MaxLanes(d)];
    hn::Store(scores, d, s);
    const double before = best.nearest.score;
    for (int i = 0; i < count; ++i) {
        const int32_t index = static_cast<int32_t>(groups.indices[j + i]);
        if (s[i] < best.nearest.score || (s[i] == best.nearest.score && index < best.nearest.airport))
            best.nearest = {index, s[i]};
    }
    if (best.nearest.score != before) best.threshold = hn::Set(DF(), cdc_filter_threshold(best.nearest.score));
}

// One group: kUnroll vectors filtered at a time, and only the vectors the
// filter passes decoded and scored exactly.
template <bool kAxisZ>
HWY_INLINE void search_group(const CdcCaseGroups& groups, int g, const CdcPoint::Partners& q, Best& best) {
    const int lanes = static_cast<int>(hn::Lanes(D()));
    const uint64_t packed = (uint64_t{cdc_filter_partner(q.b)} << 32) | cdc_filter_partner(q.a);
    const VI partners = hn::BitCast(DI(), hn::Set(DU(), packed));  // a pair's first word is its low half
    const CaseChords<kAxisZ> score = case_chords<kAxisZ>(q);
    const CdcPair* pairs = groups.pairs.data();
    int j = groups.begin[g];
    const int end = groups.begin[g + 1];
    for (; j + kUnroll * lanes <= end; j += kUnroll * lanes) {
        VU v[kUnroll];
        MF passed[kUnroll];
#pragma GCC unroll 8
        for (int k = 0; k < kUnroll; ++k) {
            v[k] = load_records(pairs + j + k * lanes);
            passed[k] = may_win(v[k], partners, best.threshold);
        }
        MF any = passed[0];
#pragma GCC unroll 8
        for (int k = 1; k < kUnroll; ++k) any = hn::Or(any, passed[k]);
        if (HWY_LIKELY(hn::AllFalse(DF(), any))) continue;
        for (int k = 0; k < kUnroll; ++k)
            if (!hn::AllFalse(DF(), passed[k])) keep(best, groups, score(v[k]), j + k * lanes, lanes);
    }
    // The rest one vector at a time, the last perhaps a part (only where a
    // vector holds more pairs than kCdcGroupPadding), its missing lanes left
    // out of the fold.
    for (; j < end; j += lanes) {
        const int count = std::min(lanes, end - j);
        const VU v = count == lanes ? load_records(pairs + j) : load_part(pairs + j, count);
        if (!hn::AllFalse(DF(), may_win(v, partners, best.threshold))) keep(best, groups, score(v), j, count);
    }
}

Nearest CdcPrunedVectorSearch(const CdcCaseGroups& groups, CdcPair point) {
    const CdcPoint p = spherebench::arrange_point(decode_cdc(point));
    Best best;
    // The point's own flag case first: its nearest airports are most likely
    // there, and the sooner the best falls the more the filter skips.
    const int own = cdc_case_group(point);
    for (int k = 0; k < kCdcCaseGroups; ++k) {
        const int g = (own + k) % kCdcCaseGroups;
        if (g < 4)
            search_group<false>(groups, g, p.by_case[g], best);
        else
            search_group<true>(groups, g, p.by_case[g], best);
    }
    return best.nearest;
}
#endif

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::cdc_pruned_vector
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace spherebench::cdc_pruned_vector {
HWY_EXPORT(CdcPrunedVectorSearch);
}  // namespace spherebench::cdc_pruned_vector

namespace spherebench {

Nearest cdc_pruned_vector_find_nearest(const CdcCaseGroups& groups, CdcPair point) {
    return HWY_DYNAMIC_DISPATCH(cdc_pruned_vector::CdcPrunedVectorSearch)(groups, point);
}

}  // namespace spherebench
#endif
