#include "vector/latlong_vector_search.h"

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

using namespace vector_lanes::HWY_NAMESPACE;
using namespace latlong_lanes::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
using LatLongScore = LatLongCosine;
#else
using LatLongScore = LatLongCosines;
#endif

// Every airport scored (latlong_lanes-inl.h), the best kept per lane.
Nearest LatLongVectorSearch(const FixedLatLong* airports, int count, FixedLatLong point) {
    const LatLongScore score{from_fixed(point)};
    return search_lanes</*kSmallerWins=*/false, /*kUnroll=*/1>(airports, count, -kStartScore, score);
}

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::latlong_vector
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace spherebench::latlong_vector {
HWY_EXPORT(LatLongVectorSearch);
}  // namespace spherebench::latlong_vector

namespace spherebench {

Nearest latlong_vector_find_nearest(const FixedLatLong* airports, int count, FixedLatLong point) {
    // Dispatched by the unqualified name: where only one target is compiled the
    // dispatch is a direct call into that target's namespace within this one.
    using namespace latlong_vector;
    return HWY_DYNAMIC_DISPATCH(LatLongVectorSearch)(airports, count, point);
}

}  // namespace spherebench
#endif
