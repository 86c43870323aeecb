// The floors: for each method the least a nearest-airport search can do per
// test, the method's own score in the plain loop that keeps the best and
// nothing else around it (no pass, no table of points). The benchmarks set
// each pass beside its floor, and the suite's setup checks that both find the
// same winners.
#pragma once

#include <cstdint>

#include "geo/coords.h"

namespace spherebench {

// Direction cosines: decode every airport's pair, take its squared chord to
// the point, keep the smallest (lowest index on ties). Returns the winner's
// index, -1 when count is 0. One floor per arrangement of the sum
// (CdcArrangement), since which is fastest depends on the processor: the two
// later squares through a two-slot array indexed by the axis bit; both sums
// formed and one picked by an integer mask on their bits; both sums and a
// conditional.
int32_t cdc_floor_search(const CdcPair* airports, int count, CdcPair point);
int32_t cdc_floor_select_search(const CdcPair* airports, int count, CdcPair point);
int32_t cdc_floor_conditional_search(const CdcPair* airports, int count, CdcPair point);

// The straightforward port of the direction-cosine test, for comparison:
// decode_cdc of every airport and the squared chord as written,
// (dx*dx + dy*dy) + dz*dz, with the flag cases taken by branches.
int32_t cdc_port_search(const CdcPair* airports, int count, CdcPair point);

// Latitude/longitude: LatLongMethod's cosine of the central angle, keep the
// largest (lowest index on ties).
int32_t latlong_floor_search(const FixedLatLong* airports, int count, FixedLatLong point);

}  // namespace spherebench
