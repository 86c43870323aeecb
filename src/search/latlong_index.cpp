#include "search/latlong_index.h"

#include <cmath>

#include "geo/vectors.h"
#include "search/face_tree_search.h"
#include "search/latlong_bound.h"

namespace spherebench {

namespace {

constexpr int kLocationsPerLeaf = 8;

// The tree bounds the vectors as computed here, each component within
// 3e-15 of the exact vector of the radians (two functions within 2^-50, a
// product rounded); the query's likewise. Every box stands kCoordinateMargin
// wider than the computed vectors at each end (less a rounding of the
// widening, under 2^-53): that covers both errors and the rounding of the
// gap itself (under 5e-16) many times over, so each gap is at most the exact
// vectors' difference in that coordinate.
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
// rounded within 2^-53 of itself): a node whose bound exceeds it holds no
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
    // The same position scores alike.
    const auto same = [&](int32_t j, int32_t k) {
        return locations[j].lat == locations[k].lat && locations[j].lon == locations[k].lon;
    };
    const std::vector<int32_t> order = build_face_tree(index.tree, places, kLocationsPerLeaf, same, kCoordinateMargin);
    store_in_order(locations, order, index.locations, index.indices);
    return index;
}

Nearest latlong_index_find_nearest(const LatLongIndex& index, LatLong point) {
    Nearest nearest{kNoWinner, LatLongMethod::initial_best};
    const LatLongQuery query = latlong_query(point);
    const std::optional<int32_t> point_lat = fixed_latitude_of(point.lat);
    double limit_now = chord_limit(nearest.score);
    LatitudeWindow window;
    const auto limit = [&] { return limit_now; };
    const auto scan = [&](const FaceNodes& nodes, uint32_t leaf) {
        const EntryRange members = nodes.scanned(leaf);
        for (int32_t at = members.first; at < members.end; ++at) {
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
    for (int step = 0; step < kFaces; ++step) {
        const int face = face_in_visit_order(own, step);
        const FaceQuery face_query{on_face(face, p.x, p.y, p.z), chord_major_term(face)};
        search_face_tree(
            index.tree, face, face_query.place.a, face_query.place.b,
            [&](const FaceNodes& nodes, uint32_t node) { return box_bound(nodes.bounds(node), face_query); }, limit,
            scan);
    }
    return nearest;
}

size_t latlong_index_bytes(const LatLongIndex& index) {
    return sizeof(LatLongIndex) + face_tree_bytes(index.tree) + index.locations.capacity() * sizeof(FixedLatLong) +
           index.indices.capacity() * sizeof(int32_t);
}

}  // namespace spherebench
