#include "search/latlong_pruned_search.h"

#include <optional>

#include "search/latlong_bound.h"

namespace spherebench {

namespace {

// The fixed-point latitude the point's radians came from, if from_fixed
// made them; the bound stands on it.
std::optional<int32_t> fixed_latitude_of(double lat) {
    const int32_t near = angle_to_fixed(lat);
    for (const int32_t n : {near, near + 1, near - 1})
        if (fixed_to_angle(n) == lat && latitude_within_poles(n)) return n;
    return std::nullopt;
}

// Airports with a fixed-point latitude in [low, high], or beyond the poles,
// are scored; the rest cannot win.
struct LatitudeWindow {
    int64_t low, high;
    bool excludes(int32_t lat) const {
        return (lat < low && lat >= -kFixedPoleLatitude) || (lat > high && lat <= kFixedPoleLatitude);
    }
};

LatitudeWindow window_around(int32_t point_lat, double best) {
    const int64_t reach = std::min<int64_t>(latitude_reach(best), int64_t{1} << 40);
    return {point_lat - reach, point_lat + reach};
}

}  // namespace

Nearest latlong_pruned_find_nearest(const FixedLatLong* airports, int count, LatLong point) {
    Nearest nearest{kNoWinner, LatLongMethod::initial_best};
    const std::optional<int32_t> point_lat = fixed_latitude_of(point.lat);
    LatitudeWindow window{INT64_MIN, INT64_MAX};
    for (int j = 0; j < count; ++j) {
        if (window.excludes(airports[j].lat)) continue;
        const double score = latlong_cosine(point, from_fixed(airports[j]));
        if (LatLongMethod::beats(score, nearest.score)) {
            nearest = {j, score};
            if (point_lat) window = window_around(*point_lat, score);
        }
    }
    return nearest;
}

}  // namespace spherebench
