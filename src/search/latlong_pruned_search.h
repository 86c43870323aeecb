// The latitude/longitude search that skips, without a sine or cosine, every
// location whose latitude alone shows it cannot win.
#pragma once

#include <cstddef>

#include "catalogue/search_catalogue.h"
#include "method/latlong_method.h"
#include "method/nearest.h"
#include "search/latlong_bound.h"

namespace spherebench {

// find_nearest<LatLongMethod>'s answer for the point from_fixed(fixed), as
// the method prepares it, winner and score bits, on every table (the point
// is taken as its words, the only points the bound is proved for): in table
// order, a location whose fixed-point latitude lies further
// from the point's than latitude_reach of the best so far (latlong_bound.h)
// scores strictly less than the best and is not scored. The reach is worked
// out again only when the best improves. Latitudes beyond the poles, which
// no loaded table holds, are always scored. find offers the question's sets
// the locations the same way, by the window of their reach: one at the
// reach itself may still enter by its index, and is offered.
class LatLongPruned {
  public:
    using Records = const FixedLatLong*;
    using Query = FixedLatLong;
    static constexpr ScoreOrder kOrder = LatLongMethod::order;

    LatLongPruned(const FixedLatLong* records, int count) : records_(records), count_(count) {}

    Nearest nearest(FixedLatLong fixed) const;
    template <typename Results>
    void find(FixedLatLong fixed, Results& results) const;
    size_t bytes() const { return sizeof(FixedLatLong) * static_cast<size_t>(count_); }

  private:
    const FixedLatLong* records_;  // the table, which must outlive the search
    int count_;
};

template <typename Results>
void LatLongPruned::find(FixedLatLong fixed, Results& results) const {
    const LatLong point = from_fixed(fixed);
    const LatLongQuery query = latlong_query(point);
    const std::optional<int32_t> point_lat = fixed_latitude_of(point.lat);
    double reach = results.reach();
    LatitudeWindow window = point_lat ? latitude_window(*point_lat, reach) : LatitudeWindow{};
    for (int j = 0; j < count_; ++j) {
        if (window.excludes(records_[j].lat)) continue;
        results.add(j, latlong_query_score(query, from_fixed(records_[j])));
        if (point_lat && results.reach() != reach) {
            reach = results.reach();
            window = latitude_window(*point_lat, reach);
        }
    }
}

SPHEREBENCH_SEARCH_TYPE(kLatLongPruned, LatLongPruned);

}  // namespace spherebench
