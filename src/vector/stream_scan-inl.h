// The loop of the pruned vector scans, compiled once per Highway target
// (included from each scan's per-target code): a range of records read in
// several parts side by side, each step of each part through a cheap filter,
// and only the steps it passes scored exactly. Several streams from memory
// keep more reads in flight than one: on Zen 3 at 2^22 locations, one stream
// of 8-byte pairs was read no faster than three arrays of floats side by
// side; two streams 1.2 times, four 1.8 times.

// Per-target include guard, as Highway's foreach_target requires.
#if defined(SPHEREBENCH_STREAM_SCAN_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef SPHEREBENCH_STREAM_SCAN_INL_H_
#undef SPHEREBENCH_STREAM_SCAN_INL_H_
#else
#define SPHEREBENCH_STREAM_SCAN_INL_H_
#endif

#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace spherebench::stream_scan {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

inline constexpr int kStreams = 4;

// Over [begin, end), in kStreams parts of whole steps of `step` records:
// filter(i) gives a mask (of tag D) set where the step starting at record i
// may hold a winner, and exact(i) scores that step. Returns where the
// records the parts left (fewer than kStreams steps) begin. The steps are
// met out of index order, so exact must break ties by index itself.
template <class D, class Filter, class Exact>
HWY_INLINE int scan_in_streams(D d, int begin, int end, int step, const Filter& filter, const Exact& exact) {
    const int part = (end - begin) / (kStreams * step) * step;
    for (int i = begin; i < begin + part; i += step) {
        decltype(filter(i)) passed[kStreams];
#pragma GCC unroll 8
        for (int k = 0; k < kStreams; ++k) passed[k] = filter(i + k * part);
        auto any = passed[0];
#pragma GCC unroll 8
        for (int k = 1; k < kStreams; ++k) any = hn::Or(any, passed[k]);
        if (HWY_LIKELY(hn::AllFalse(d, any))) continue;
        for (int k = 0; k < kStreams; ++k)
            if (!hn::AllFalse(d, passed[k])) exact(i + k * part);
    }
    return begin + kStreams * part;
}

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::stream_scan
HWY_AFTER_NAMESPACE();

#endif  // per-target include guard
