#include "vector/cdc_block_search.h"

// Highway compiles everything below once per target.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "vector/cdc_block_search.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <algorithm>

#include "vector/cdc_lanes-inl.h"
#include "vector/vector_lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace spherebench::cdc_block {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using namespace cdc_lanes::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
Nearest CdcBlockSearch(const CdcCaseGroups& groups, CdcPair point) { return grouped_search_one_lane(groups, point); }
#else
using namespace vector_lanes::HWY_NAMESPACE;

// One group's lanes: each lane's least score and the position in
// groups.pairs of the first vector of the block where the lane first met it.
// A lane meets its block's scores in table order and only a strictly
// smaller block minimum replaces its best, so the noted block holds the
// lane's earliest position with that score.
template <bool kAxisZ>
HWY_INLINE LaneBests search_group(const CdcCaseGroups& groups, int g, const CdcPoint::Partners& q) {
    const D d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const CaseChords<kAxisZ> score = case_chords<kAxisZ>(q);
    const CdcPair* pairs = groups.pairs.data();
    LaneBests best(hn::Set(d, kStartScore), hn::Set(d, -1.0));
    const auto keep_block = [&](V least, int start) {
        const auto better = hn::Lt(least, best.score);
        best.score = hn::Min(least, best.score);  // never NaN; equal ones are the same double
        best.start = hn::IfThenElse(better, hn::Set(d, static_cast<double>(start)), best.start);
    };
    int j = groups.begin[g];
    const int end = groups.begin[g + 1];
    for (; j + kCdcBlockVectors * lanes <= end; j += kCdcBlockVectors * lanes) {
        V least = score(load_records(pairs + j));
#pragma GCC unroll 16
        for (int k = 1; k < kCdcBlockVectors; ++k) least = hn::Min(least, score(load_records(pairs + j + k * lanes)));
        keep_block(least, j);
    }
    if (j < end) {  // the last block, shorter, its last vector perhaps a part
        const int start = j;
        V least = hn::Inf(d);
        for (; j + lanes <= end; j += lanes) least = hn::Min(least, score(load_records(pairs + j)));
        if (j < end) {  // only where a vector holds more doubles than kCdcGroupPadding
            const int left = end - j;
            least = hn::Min(least, hn::IfThenElse(hn::FirstN(d, static_cast<size_t>(left)),
                                                  score(load_part(pairs + j, left)), hn::Inf(d)));
        }
        keep_block(least, start);
    }
    return best;
}

// The table index of lane `lane`'s first pair scoring `best` in the block
// of group g starting at `start`: the lane's pairs of that block gathered
// and scored again, by the same arithmetic.
template <bool kAxisZ>
int32_t first_index_in_block(const CdcCaseGroups& groups, int g, const CdcPoint::Partners& q, int start, int lane,
                             double best) {
    const D d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const int end = groups.begin[g + 1];
    const int count = std::min(kCdcBlockVectors, (end - start - lane + lanes - 1) / lanes);
    HWY_ALIGN CdcPair gathered[kCdcBlockVectors + hn::MaxLanes(d)];
    HWY_ALIGN double scores[kCdcBlockVectors + hn::MaxLanes(d)];
    for (int k = 0; k < count; ++k) gathered[k] = groups.pairs[start + k * lanes + lane];
    const CaseChords<kAxisZ> score = case_chords<kAxisZ>(q);
    for (int k = 0; k < count; k += lanes)
        hn::Store(score(load_part(gathered + k, std::min(lanes, count - k))), d, scores + k);
    for (int k = 0; k < count; ++k)
        if (scores[k] == best) return static_cast<int32_t>(groups.indices[start + k * lanes + lane]);
    return kNoWinner;  // not reached: the lane's best came from this block
}

Nearest CdcBlockSearch(const CdcCaseGroups& groups, CdcPair point) {
    const D d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const CdcPoint p = spherebench::arrange_point(decode_cdc(point));
    LaneBests found[kCdcCaseGroups];
    for (int g = 0; g < kCdcFirstAxisZGroup; ++g) found[g] = search_group<false>(groups, g, p.by_case[g]);
    for (int g = kCdcFirstAxisZGroup; g < kCdcCaseGroups; ++g) found[g] = search_group<true>(groups, g, p.by_case[g]);

    V least = found[0].score;
    for (int g = 1; g < kCdcCaseGroups; ++g) least = hn::Min(least, found[g].score);
    const double best = hn::GetLane(hn::MinOfLanes(d, least));
    Nearest nearest{kNoWinner, kStartScore};
    if (!(best < kStartScore)) return nearest;
    nearest.score = best;
    // Every lane of every group holding the best score names its earliest
    // position with it; the lowest table index among them wins.
    HWY_ALIGN double scores[hn::MaxLanes(d)];
    HWY_ALIGN double starts[hn::MaxLanes(d)];
    for (int g = 0; g < kCdcCaseGroups; ++g) {
        if (hn::AllFalse(d, hn::Eq(found[g].score, hn::Set(d, best)))) continue;
        hn::Store(found[g].score, d, scores);
        hn::Store(found[g].start, d, starts);
        for (int i = 0; i < lanes; ++i) {
            if (scores[i] != best) continue;
            const int start = static_cast<int>(starts[i]);
            const int32_t index = g < kCdcFirstAxisZGroup
                                      ? first_index_in_block<false>(groups, g, p.by_case[g], start, i, best)
                                      : first_index_in_block<true>(groups, g, p.by_case[g], start, i, best);
            if (nearest.index == kNoWinner || index < nearest.index) nearest.index = index;
        }
    }
    return nearest;
}
#endif

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::cdc_block
HWY_AFTER_NAMESPACE();

// Once, after every target's version: the table of them and the entries that
// dispatch to the best one the CPU has.
#if HWY_ONCE
namespace spherebench::cdc_block {
HWY_EXPORT(CdcBlockSearch);
HWY_EXPORT(TargetName);
}  // namespace spherebench::cdc_block

namespace spherebench {

// Dispatched by the unqualified name: where only one target is compiled the
// dispatch is a direct call into that target's namespace within this one.
using namespace cdc_block;

Nearest cdc_block_find_nearest(const CdcCaseGroups& groups, CdcPair point) {
    return HWY_DYNAMIC_DISPATCH(CdcBlockSearch)(groups, point);
}

const char* vector_target_name() { return HWY_DYNAMIC_DISPATCH(TargetName)(); }

}  // namespace spherebench
#endif
