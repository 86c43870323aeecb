#include "search/latlong_pruned_search.h"

namespace spherebench {

Nearest LatLongPruned::nearest(FixedLatLong fixed) const {
    const LatLong point = from_fixed(fixed);
    const FixedLatLong* locations = records_;
    const int count = count_;
    Nearest nearest{kNoWinner, LatLongMethod::initial_best};
    const LatLongQuery query = latlong_query(point);
    const std::optional<int32_t> point_lat = fixed_latitude_of(point.lat);
    LatitudeWindow window;
    for (int j = 0; j < count; ++j) {
        if (window.excludes(locations[j].lat)) continue;
        const double score = latlong_query_score(query, from_fixed(locations[j]));
        if (LatLongMethod::beats(score, nearest.score)) {
            nearest = {j, score};
            if (point_lat) window = latitude_window(*point_lat, score);
        }
    }
    return nearest;
}

}  // namespace spherebench
