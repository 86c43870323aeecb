// The latitude/longitude search that skips, without a sine or cosine, every
// airport whose latitude alone shows it cannot win.
#pragma once

#include <cstddef>

#include "catalogue/search_catalogue.h"
#include "method/latlong_method.h"
#include "method/nearest.h"

namespace spherebench {

// find_nearest<LatLongMethod>'s answer for the point from_fixed(fixed), as
// the method prepares it, winner and score bits, on every table (the point
// is taken as its words, the only points the bound is proved for): in table
// order, an airport whose fixed-point latitude lies further
// from the point's than latitude_reach of the best so far (latlong_bound.h)
// scores strictly less than the best and is not scored. The reach is worked
// out again only when the best improves. Latitudes beyond the poles, which
// no loaded table holds, are always scored.
class LatLongPruned {
  public:
    using Records = const FixedLatLong*;
    using Query = FixedLatLong;

    LatLongPruned(const FixedLatLong* records, int count) : records_(records), count_(count) {}

    Nearest nearest(FixedLatLong fixed) const;
    size_t bytes() const { return sizeof(FixedLatLong) * static_cast<size_t>(count_); }

  private:
    const FixedLatLong* records_;  // the table, which must outlive the search
    int count_;
};

template <>
struct SearchType<SearchId::kLatLongPruned> {
    using type = LatLongPruned;
};

}  // namespace spherebench
