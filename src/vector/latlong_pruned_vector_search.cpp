#include "vector/latlong_pruned_vector_search.h"

#include <algorithm>
#include <cstdint>

#include "vector/pruning_bounds.h"

// Highway compiles everything below once per target.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "vector/latlong_pruned_vector_search.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "vector/latlong_lanes-inl.h"
#include "vector/vector_lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace spherebench::latlong_pruned_vector {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using namespace vector_lanes::HWY_NAMESPACE;
using namespace latlong_lanes::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
Nearest LatLongPrunedVectorSearch(const FixedLatLong* airports, int count, FixedLatLong point) {
    return search_lanes</*kSmallerWins=*/false, 1>(airports, count, -kStartScore, LatLongCosine{from_fixed(point)});
}
#else
using MU32 = hn::Mask<DU32>;

// Vectors filtered before any is tested for an airport that may win.
constexpr int kUnroll = 4;

// A vector's latitudes (its records' first words, the even 32-bit lanes)
// against the point's: the mask is set in a record's first lane where the
// latitude lies within the band, or outside [-pi/2, pi/2], where the band's
// proof does not hold; never in the longitude lanes.
struct LatitudeFilter {
    VU32 point;  // the point's latitude in the even lanes
    VU32 limit;  // latitude_band_limit in the even lanes, 0 in the odd
    VU32 bias;   // a quarter turn in the even lanes, 0 in the odd
    VU32 valid;  // a half turn in the even lanes, all ones in the odd

    HWY_INLINE MU32 may_win(VU records) const {
        const VU32 words = hn::BitCast(DU32(), records);
        // |latitude - point| as unsigned (at most 2^31 from valid latitudes).
        const hn::RebindToSigned<DU32> di;
        const VU32 apart = hn::BitCast(DU32(), hn::Abs(hn::BitCast(di, hn::Sub(words, point))));
        return hn::Or(hn::Lt(apart, limit), hn::Gt(hn::Add(words, bias), valid));
    }
};

HWY_INLINE VU32 even_lanes(uint32_t even, uint32_t odd) {
    return hn::BitCast(DU32(), hn::Set(DU(), (uint64_t{odd} << 32) | even));
}

// Folds the exact scores of `count` records from index j into the best,
// in index order, a later one only where strictly better.
HWY_INLINE bool keep(Nearest& nearest, V scores, int j, int count) {
    const D d;
    if (hn::AllFalse(d, hn::Gt(scores, hn::Set(d, nearest.score)))) return false;
    HWY_ALIGN double s[hn::MaxLanes(d)];
    hn::Store(scores, d, s);
    for (int i = 0; i < count; ++i)
        if (s[i] > nearest.score) nearest = {j + i, s[i]};
    return true;
}

Nearest LatLongPrunedVectorSearch(const FixedLatLong* airports, int count, FixedLatLong point) {
    const int lanes = static_cast<int>(hn::Lanes(D()));
    const LatLong p = from_fixed(point);
    // The point's sine and cosine once: the same doubles in every lane and
    // every call.
    const SinCos q = sin_cos(hn::Set(D(), p.lat));
    const bool point_valid = point.lat >= -kFixedQuarterTurn && point.lat <= kFixedQuarterTurn;
    const uint32_t turn = 2u * kFixedQuarterTurn;
    LatitudeFilter filter{even_lanes(static_cast<uint32_t>(point.lat), 0), even_lanes(UINT32_MAX, 0),
                          even_lanes(kFixedQuarterTurn, 0), even_lanes(turn, UINT32_MAX)};
    Nearest nearest{kNoWinner, -kStartScore};
    const auto score = [&](VU records, int j, int n) {
        if (keep(nearest, central_cosines(airport_lanes(records, p), q), j, n) && point_valid)
            filter.limit = even_lanes(latitude_band_limit(nearest.score), 0);
    };
    int j = 0;
    for (; j + kUnroll * lanes <= count; j += kUnroll * lanes) {
        VU v[kUnroll];
        MU32 passed[kUnroll];
#pragma GCC unroll 8
        for (int k = 0; k < kUnroll; ++k) {
            v[k] = load_records(airports + j + k * lanes);
            passed[k] = filter.may_win(v[k]);
        }
        MU32 any = passed[0];
#pragma GCC unroll 8
        for (int k = 1; k < kUnroll; ++k) any = hn::Or(any, passed[k]);
        if (HWY_LIKELY(hn::AllFalse(DU32(), any))) continue;
        for (int k = 0; k < kUnroll; ++k)
            if (!hn::AllFalse(DU32(), passed[k])) score(v[k], j + k * lanes, lanes);
    }
    // The rest one vector at a time, the last perhaps a part, its missing
    // lanes left out of the fold.
    for (; j < count; j += lanes) {
        const int n = std::min(lanes, count - j);
        const VU v = n == lanes ? load_records(airports + j) : load_part(airports + j, n);
        if (!hn::AllFalse(DU32(), filter.may_win(v))) score(v, j, n);
    }
    return nearest;
}
#endif

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::latlong_pruned_vector
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace spherebench::latlong_pruned_vector {
HWY_EXPORT(LatLongPrunedVectorSearch);
}  // namespace spherebench::latlong_pruned_vector

namespace spherebench {

Nearest latlong_pruned_vector_find_nearest(const FixedLatLong* airports, int count, FixedLatLong point) {
    return HWY_DYNAMIC_DISPATCH(latlong_pruned_vector::LatLongPrunedVectorSearch)(airports, count, point);
}

}  // namespace spherebench
#endif
