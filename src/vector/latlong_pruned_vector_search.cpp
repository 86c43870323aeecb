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
#include "vector/stream_scan-inl.h"
#include "vector/vector_lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace spherebench::latlong_pruned_vector {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using namespace vector_lanes::HWY_NAMESPACE;
using namespace latlong_lanes::HWY_NAMESPACE;
using namespace stream_scan::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
Nearest LatLongPrunedVectorSearch(const FixedLatLong* locations, int count, FixedLatLong point) {
    return search_lanes</*kSmallerWins=*/false, 1>(locations, count, -kStartScore, LatLongCosine{from_fixed(point)});
}
#else
using MU = hn::Mask<DU>;

// A vector's records (latitude in the even 32-bit lanes, longitude in the
// odd) against the point's: the mask is set for a record whose latitude and
// longitude both lie within their bands (pruning_bounds.h). The bands'
// proofs hold for latitudes within [-pi/2, pi/2]: the filter notes the
// largest latitude it meets, offset by a quarter turn, in `offsets` (even
// lanes), for the search to check once at the end.
struct BandFilter {
    VU32 point;    // the point's latitude and longitude
    VU32 below;    // the two band limits less 1
    VU32 bias;     // a quarter turn for latitudes
    VU32 offsets;  // per lane, the largest word + bias met (unsigned)

    HWY_INLINE MU may_win(VU records) {
        const DU32 d32;
        const VU32 words = hn::BitCast(d32, records);
        offsets = hn::Max(offsets, hn::Add(words, bias));
        // |word - point| as unsigned, up to 2^31: the longitudes' wrapped.
        const VU32 apart = hn::BitCast(d32, hn::Abs(hn::BitCast(hn::RebindToSigned<DU32>(), hn::Sub(words, point))));
        const VU32 inside = hn::VecFromMask(d32, hn::Eq(hn::Min(apart, below), apart));
        return hn::Eq(hn::BitCast(DU(), inside), hn::Set(DU(), ~uint64_t{0}));  // both words inside
    }

    // Whether every latitude met lay within [-pi/2, pi/2].
    bool latitudes_valid() const {
        HWY_ALIGN uint32_t lanes[hn::MaxLanes(DU32())];
        hn::Store(offsets, DU32(), lanes);
        for (size_t i = 0; i < hn::Lanes(DU32()); i += 2)
            if (lanes[i] > 2u * kFixedQuarterTurn) return false;
        return true;
    }
};

HWY_INLINE VU32 per_word(uint32_t latitude, uint32_t longitude) {
    return hn::BitCast(DU32(), hn::Set(DU(), (uint64_t{longitude} << 32) | latitude));
}

// Folds the exact scores of `count` records from index j into the best:
// the higher score, the lower index among equal ones (the streams meet the
// records out of order). True where the best score rose.
HWY_INLINE bool keep(Nearest& nearest, V scores, int j, int count) {
    const D d;
    if (hn::AllFalse(d, hn::Ge(scores, hn::Set(d, nearest.score)))) return false;
    HWY_ALIGN double s[hn::MaxLanes(d)];
    hn::Store(scores, d, s);
    const double before = nearest.score;
    for (int i = 0; i < count; ++i)
        if (s[i] > nearest.score || (s[i] == nearest.score && j + i < nearest.index)) nearest = {j + i, s[i]};
    return nearest.score != before;
}

Nearest LatLongPrunedVectorSearch(const FixedLatLong* locations, int count, FixedLatLong point) {
    const int lanes = static_cast<int>(hn::Lanes(D()));
    const LatLong p = from_fixed(point);
    // The point's sine and cosine once: the same doubles in every lane and
    // every call.
    const SinCos q = sin_cos(hn::Set(D(), p.lat));
    const bool point_valid = point.lat >= -kFixedQuarterTurn && point.lat <= kFixedQuarterTurn;
    BandFilter filter_lanes{per_word(static_cast<uint32_t>(point.lat), static_cast<uint32_t>(point.lon)),
                            per_word(UINT32_MAX - 1, UINT32_MAX - 1), per_word(kFixedQuarterTurn, 0), hn::Zero(DU32())};
    Nearest nearest{kNoWinner, -kStartScore};
    const auto score = [&](VU records, int j, int n) {
        if (!keep(nearest, central_cosines(location_lanes(records, p), q), j, n) || !point_valid) return;
        const uint32_t latitude_limit = latitude_band_limit(nearest.score);
        const uint32_t longitude_limit = longitude_band_limit(nearest.score, point.lat, latitude_limit);
        filter_lanes.below = per_word(latitude_limit - 1, longitude_limit - 1);
    };
    const auto filter = [&](int i) { return filter_lanes.may_win(load_records(locations + i)); };
    const auto exact = [&](int i) { score(load_records(locations + i), i, lanes); };
    int j = scan_in_streams(DU(), 0, count, lanes, filter, exact);
    // The rest one vector at a time, the last perhaps a part, its missing
    // lanes left out of the fold.
    for (; j < count; j += lanes) {
        const int n = std::min(lanes, count - j);
        const VU v = n == lanes ? load_records(locations + j) : load_part(locations + j, n);
        if (!hn::AllFalse(DU(), filter_lanes.may_win(v))) score(v, j, n);
    }
    // A latitude beyond a pole (no table the loader makes has one) voids the
    // bands: then every location is scored, by the same arithmetic.
    if (!filter_lanes.latitudes_valid())
        return search_lanes</*kSmallerWins=*/false, /*kUnroll=*/1>(locations, count, -kStartScore, LatLongCosines{p});
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

Nearest latlong_pruned_vector_find_nearest(const FixedLatLong* locations, int count, FixedLatLong point) {
    using namespace latlong_pruned_vector;  // the name unqualified: a build of one target dispatches statically
    return HWY_DYNAMIC_DISPATCH(LatLongPrunedVectorSearch)(locations, count, point);
}

}  // namespace spherebench
#endif
