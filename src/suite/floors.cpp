#include "suite/floors.h"

#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "method/nearest.h"

namespace spherebench {

namespace {

template <CdcArrangement kArrangement>
int32_t cdc_floor(const CdcPair* airports, int count, CdcPair point) {
    return find_nearest<CdcMethodWith<kArrangement>>(airports, count, arrange_point(decode_cdc(point))).index;
}

// The squared chord between two decoded directions, as written.
double squared_chord(UnitVector a, UnitVector p) {
    const double dx = a.x - p.x, dy = a.y - p.y, dz = a.z - p.z;
    return (dx * dx + dy * dy) + dz * dz;
}

}  // namespace

int32_t cdc_floor_search(const CdcPair* airports, int count, CdcPair point) {
    return cdc_floor<CdcArrangement::kTwoSlotArray>(airports, count, point);
}

int32_t cdc_floor_select_search(const CdcPair* airports, int count, CdcPair point) {
    return cdc_floor<CdcArrangement::kSelectBits>(airports, count, point);
}

int32_t cdc_floor_conditional_search(const CdcPair* airports, int count, CdcPair point) {
    return cdc_floor<CdcArrangement::kConditional>(airports, count, point);
}

int32_t cdc_port_search(const CdcPair* airports, int count, CdcPair point) {
    const UnitVector p = decode_cdc(point);
    return best_of(
               airports, count, kStartScore, [p](CdcPair airport) { return squared_chord(decode_cdc(airport), p); },
               [](double score, double best) { return score < best; })
        .index;
}

int32_t latlong_floor_search(const FixedLatLong* airports, int count, FixedLatLong point) {
    return find_nearest<LatLongMethod>(airports, count, from_fixed(point)).index;
}

}  // namespace spherebench
