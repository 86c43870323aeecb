#include "search/latlong_index.h"

#include <cmath>

#include "geo/vectors.h"
#include "search/latlong_bound.h"

namespace spherebench {

namespace {

constexpr double kFaceReach = 0.7072;
constexpr int kLocationsPerCell = 4;

// The grid holds the vectors as computed here, each component within
// 3e-15 of the exact vector of the radians (two functions within 2^-50, a
// product rounded); the query's likewise. kCoordinateMargin, taken off every
// gap, covers both and the rounding of the gap itself (under 5e-16) many
// times over, so each gap is at most the exact vectors' difference in that
// coordinate.
constexpr double kCoordinateMargin = 1e-12;

UnitVector vector_of(LatLong p) { return vector_of_radians<UnitVector>(p.lat, p.lon); }

}  // namespace

LatLongIndex::LatLongIndex(const FixedLatLong* locations, int count) {
    std::vector<FacePlace> places(count);
    for (int k = 0; k < count; ++k) {
        const UnitVector v = vector_of(from_fixed(locations[k]));
        places[k] = face_place_of(v.x, v.y, v.z);
    }
    const std::vector<int32_t> order = build_face_grid(grid_, places, kFaceReach, kLocationsPerCell);
    store_in_order(locations, order, locations_, indices_);
}

Nearest LatLongIndex::nearest(FixedLatLong fixed) const {
    const LatLong point = from_fixed(fixed);
    Nearest nearest{kNoWinner, LatLongMethod::initial_best};
    const LatLongQuery query = latlong_query(point);
    const std::optional<int32_t> point_lat = fixed_latitude_of(point.lat);
    double limit_now = chord_limit(nearest.score);
    LatitudeWindow window;
    const auto limit = [&] { return limit_now; };
    const auto scan = [&](int32_t first, int32_t end) {
        for (int32_t at = first; at < end; ++at) {
            const FixedLatLong location = locations_[at];
            if (window.excludes(location.lat)) continue;
            const double score = latlong_query_score(query, from_fixed(location));
            const int32_t k = indices_[at];
            if (score > nearest.score || (score == nearest.score && k < nearest.airport)) {
                nearest = {k, score};
                limit_now = chord_limit(score);
                if (point_lat) window = latitude_window(*point_lat, score);
            }
        }
    };
    const UnitVector p = vector_on_parallel<UnitVector>(query.cos_lat, query.sin_lat, point.lon);
    const int own = face_place_of(p.x, p.y, p.z).face;
    for (int step = 0; step < kGridFaces; ++step) {
        const int face = face_in_visit_order(own, step);
        search_face(grid_, {on_face(face, p.x, p.y, p.z), chord_major_term(face), kCoordinateMargin}, limit, scan);
    }
    return nearest;
}

size_t LatLongIndex::bytes() const {
    return sizeof(LatLongIndex) + face_grid_bytes(grid_) + locations_.capacity() * sizeof(FixedLatLong) +
           indices_.capacity() * sizeof(int32_t);
}

}  // namespace spherebench
