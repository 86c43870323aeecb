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

// The greatest bound on the squared chord at which a location can still
// score `best` or more. With g, h and m the three gaps (each at most the
// exact vectors' difference in its coordinate), the exact squared chord c
// between the two exact unit vectors is at least g^2 + h^2 + m^2, so at
// least the bound as rounded (five roundings, each within 2^-53), b, times
// (1 - 2^-50). The exact cosine of
// the angle is 1 - c / 2, and the score is within 6e-15 of it
// (latlong_bound.h): a location scoring best or more has
// 1 - b (1 - 2^-50) / 2 + 6e-15 >= best, so
// b <= 2 (1 + 6e-15 - best) / (1 - 2^-50). The limit returned,
// 2 ((1 + 2e-13) - best) (1 + 1e-12), exceeds that with all its roundings
// (best is at most 1 + 6e-15, so the difference is at least 1.9e-13 and
// rounded within 2^-53 of itself): a cell whose bound exceeds it holds no
// location that beats or ties the best.
double chord_limit(double best) { return 2.0 * ((1.0 + 2 * kLatLongScoreError) - best) * (1.0 + 1e-12); }

}  // namespace

LatLongIndex build_latlong_index(const FixedLatLong* locations, int count) {
    std::vector<FacePlace> places(count);
    for (int k = 0; k < count; ++k) {
        const UnitVector v = vector_of(from_fixed(locations[k]));
        places[k] = face_place_of(v.x, v.y, v.z);
    }
    LatLongIndex index;
    const std::vector<int32_t> order = build_face_grid(index.grid, places, kFaceReach, kLocationsPerCell);
    store_in_order(locations, order, index.locations, index.indices);
    return index;
}

Nearest latlong_index_find_nearest(const LatLongIndex& index, FixedLatLong fixed) {
    const LatLong point = from_fixed(fixed);
    Nearest nearest{kNoWinner, LatLongMethod::initial_best};
    const LatLongQuery query = latlong_query(point);
    const std::optional<int32_t> point_lat = fixed_latitude_of(point.lat);
    double limit_now = chord_limit(nearest.score);
    LatitudeWindow window;
    const auto limit = [&] { return limit_now; };
    const auto scan = [&](int32_t first, int32_t end) {
        for (int32_t at = first; at < end; ++at) {
            const FixedLatLong location = index.locations[at];
            if (window.excludes(location.lat)) continue;
            const double score = latlong_query_score(query, from_fixed(location));
            const int32_t k = index.indices[at];
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
        search_face(index.grid, {on_face(face, p.x, p.y, p.z), chord_major_term(face), kCoordinateMargin}, limit, scan);
    }
    return nearest;
}

size_t latlong_index_bytes(const LatLongIndex& index) {
    return sizeof(LatLongIndex) + face_grid_bytes(index.grid) + index.locations.capacity() * sizeof(FixedLatLong) +
           index.indices.capacity() * sizeof(int32_t);
}

}  // namespace spherebench
