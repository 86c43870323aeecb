#include "vector/latlong_vector_search.h"

#include <algorithm>

// Highway compiles everything below once per target.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "vector/latlong_vector_search.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "vector/latlong_lanes-inl.h"
#include "vector/vector_lanes-inl.h"

HWY_BEFORE_NAMESPACE();
namespace spherebench::latlong_vector {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using namespace vector_lanes::HWY_NAMESPACE;
using namespace latlong_lanes::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
using LatLongScore = LatLongCosine;
#else
using LatLongScore = LatLongCosines;
#endif

// Every location scored (latlong_lanes-inl.h), the best kept per lane.
Nearest LatLongVectorSearch(const FixedLatLong* locations, int count, FixedLatLong point) {
    const LatLongScore score{from_fixed(point)};
    return search_lanes</*kSmallerWins=*/false, /*kUnroll=*/1>(locations, count, -kStartScore, score);
}

// Every location's score, by the lanes' arithmetic on this target.
void LatLongVectorScores(const FixedLatLong* locations, int count, FixedLatLong point, double* scores) {
#if HWY_TARGET == HWY_SCALAR
    const LatLongCosine score{from_fixed(point)};
    for (int j = 0; j < count; ++j) scores[j] = score(locations[j]);
#else
    const D d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const LatLong p = from_fixed(point);
    const SinCos q = sin_cos(hn::Set(d, p.lat));
    int j = 0;
    for (; j + lanes <= count; j += lanes)
        hn::StoreU(central_cosines(location_lanes(load_records(locations + j), p), q), d, scores + j);
    if (j < count) {  // the last part vector, through a copy
        HWY_ALIGN double part[hn::MaxLanes(d)];
        hn::Store(central_cosines(location_lanes(load_part(locations + j, count - j), p), q), d, part);
        std::copy(part, part + (count - j), scores + j);
    }
#endif
}

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::latlong_vector
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace spherebench::latlong_vector {
HWY_EXPORT(LatLongVectorSearch);
HWY_EXPORT(LatLongVectorScores);
}  // namespace spherebench::latlong_vector

namespace spherebench {

Nearest latlong_vector_find_nearest(const FixedLatLong* locations, int count, FixedLatLong point) {
    // Dispatched by the unqualified name: where only one target is compiled the
    // dispatch is a direct call into that target's namespace within this one.
    using namespace latlong_vector;
    return HWY_DYNAMIC_DISPATCH(LatLongVectorSearch)(locations, count, point);
}

void latlong_vector_scores(const FixedLatLong* locations, int count, FixedLatLong point, double* scores) {
    using namespace latlong_vector;
    HWY_DYNAMIC_DISPATCH(LatLongVectorScores)(locations, count, point, scores);
}

}  // namespace spherebench
#endif
