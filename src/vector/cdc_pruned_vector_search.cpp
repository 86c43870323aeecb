#include "vector/cdc_pruned_vector_search.h"

#include <algorithm>

#include "vector/pruning_bounds.h"

// Highway compiles everything below once per target.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "vector/cdc_pruned_vector_search.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "vector/cdc_lanes-inl.h"
#include "vector/stream_scan-inl.h"
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
using namespace stream_scan::HWY_NAMESPACE;

using DI32 = hn::Repartition<int32_t, D>;
using DI16 = hn::Repartition<int16_t, D>;  // two vectors of pairs, one word a lane
using VI32 = hn::Vec<DI32>;
using VI16 = hn::Vec<DI16>;
using MI32 = hn::Mask<DI32>;

// The best so far, and the filter's limit for it (pruning_bounds.h).
struct Best {
    // Declared, as LaneBests' is (vector_lanes-inl.h).
    Best() : limit(hn::Set(DI32(), INT32_MAX)) {}
    Nearest nearest{kNoWinner, kStartScore};
    VI32 limit;
};

// The filter's sums for the pairs of two vectors, one an int32 lane, and
// the mask set where a sum is below the limit: where a pair may still beat
// the best (pruning_bounds.cpp has the proof). The lanes' order is not the
// pairs' (packing interleaves blocks), so a set lane names only the two
// vectors.
HWY_INLINE MI32 may_win(VU first, VU second, VI16 partners, VI32 limit) {
    const DI32 d32;
    const DI16 d16;
    const VI16 tops = hn::ReorderDemote2To(d16, hn::ShiftRight<16>(hn::BitCast(d32, first)),
                                           hn::ShiftRight<16>(hn::BitCast(d32, second)));
    const VI16 apart = hn::ShiftLeft<2>(hn::Sub(tops, partners));  // the flag bits gone
    VI32 odd = hn::Zero(d32);
    const VI32 sums =
        hn::RearrangeToOddPlusEven(hn::ReorderWidenMulAccumulate(d32, apart, apart, hn::Zero(d32), odd), odd);
    return hn::Lt(sums, limit);
}

// Folds the exact scores of `count` pairs from position j of groups.pairs
// into the best: the lower score, the lower table index among equal ones
// (the groups, and the streams within a group, meet the pairs out of table
// order).
HWY_INLINE void keep(Best& best, const CdcCaseGroups& groups, V scores, int j, int count) {
    const D d;
    if (hn::AllFalse(d, hn::Le(scores, hn::Set(d, best.nearest.score)))) return;
    HWY_ALIGN double s[hn::MaxLanes(d)];
    hn::Store(scores, d, s);
    const double before = best.nearest.score;
    for (int i = 0; i < count; ++i) {
        const int32_t index = static_cast<int32_t>(groups.indices[j + i]);
        if (s[i] < best.nearest.score || (s[i] == best.nearest.score && index < best.nearest.index))
            best.nearest = {index, s[i]};
    }
    if (best.nearest.score != before) best.limit = hn::Set(DI32(), cdc_filter_limit(best.nearest.score));
}

// One group: each step of two vectors filtered, and only the steps the
// filter passes decoded and scored exactly.
template <bool kAxisZ>
HWY_INLINE void search_group(const CdcCaseGroups& groups, int g, const CdcPoint::Partners& q, Best& best) {
    const int lanes = static_cast<int>(hn::Lanes(D()));
    const uint32_t packed = (uint32_t{static_cast<uint16_t>(cdc_filter_partner(q.b))} << 16) |
                            static_cast<uint16_t>(cdc_filter_partner(q.a));
    const VI16 partners = hn::BitCast(DI16(), hn::Set(hn::Repartition<uint32_t, D>(), packed));
    const CaseChords<kAxisZ> score = case_chords<kAxisZ>(q);
    const CdcPair* pairs = groups.pairs.data();
    const int end = groups.begin[g + 1];
    const auto filter = [&](int i) {
        return may_win(load_records(pairs + i), load_records(pairs + i + lanes), partners, best.limit);
    };
    const auto exact = [&](int i) {
        keep(best, groups, score(load_records(pairs + i)), i, lanes);
        keep(best, groups, score(load_records(pairs + i + lanes)), i + lanes, lanes);
    };
    int j = scan_in_streams(DI32(), groups.begin[g], end, 2 * lanes, filter, exact);
    // The rest one vector at a time (filtered as a pair with itself), the
    // last perhaps a part (only where a vector holds more pairs than
    // kCdcGroupPadding), its missing lanes left out of the fold.
    for (; j < end; j += lanes) {
        const int count = std::min(lanes, end - j);
        const VU v = count == lanes ? load_records(pairs + j) : load_part(pairs + j, count);
        if (!hn::AllFalse(DI32(), may_win(v, v, partners, best.limit))) keep(best, groups, score(v), j, count);
    }
}

Nearest CdcPrunedVectorSearch(const CdcCaseGroups& groups, CdcPair point) {
    const CdcPoint p = spherebench::arrange_point(decode_cdc(point));
    Best best;
    // The point's own flag case first: its nearest locations are most likely
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
    using namespace cdc_pruned_vector;  // the name unqualified: a build of one target dispatches statically
    return HWY_DYNAMIC_DISPATCH(CdcPrunedVectorSearch)(groups, point);
}

}  // namespace spherebench
#endif
