#include "search/latlong_index.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "geo/vectors.h"
#include "search/face_index.h"
#include "search/latlong_bound.h"
#include "search/sphere_bound.h"
#include "search/walk_counts.h"

namespace spherebench {

namespace {

constexpr double kFaceReach = 0.7072;  // beyond 1/sqrt(2): unit vectors' other components
constexpr int kLocationsPerCell = 4;
constexpr int kLocationsPerLeaf = 8;

// The grid or the tree bounds the vectors as computed here, each component within
// 3e-15 of the exact vector of the radians (two functions within 2^-50, a
// product rounded); the query's likewise. Every bound stands kCoordinateMargin
// wider than the computed vectors at each end (less a rounding of the
// widening, under 2^-53): that covers both errors and the rounding of the
// gap itself (under 5e-16) many times over, so each gap is at most the exact
// vectors' difference in that coordinate.
constexpr double kCoordinateMargin = 1e-12;
// The distance from the query's computed vector to its exact one: three
// components each within 3e-15, so under 5.2e-15.
constexpr double kQueryError = 1e-14;

UnitVector vector_of(LatLong p) { return vector_of_radians<UnitVector>(p.lat, p.lon); }

}  // namespace

LatLongIndex::LatLongIndex(const FixedLatLong* locations, int count, int threads) : table_(locations) {
    const PlaceSource places{count, [locations](int first, int end, FacePlace* out) {
                                 for (int k = first; k < end; ++k) {
                                     const UnitVector v = vector_of(from_fixed(locations[k]));
                                     *out++ = face_place_of(v.x, v.y, v.z);
                                 }
                             }};
    // The same position scores alike.
    const auto same = [&](int32_t j, int32_t k) {
        return locations[j].lat == locations[k].lat && locations[j].lon == locations[k].lon;
    };
    const FaceIndexShape shape{kFaceReach, kLocationsPerCell, kLocationsPerLeaf, SIZE_MAX, kCoordinateMargin};
    std::vector<int32_t> order = build_face_index(index_, places, shape, same, threads);
    store_in_order(locations, std::move(order), locations_, indices_, threads);
}

Nearest LatLongIndex::nearest(FixedLatLong fixed) const {
    NearestOne results(kOrder, LatLongMethod::initial_best);
    find(fixed, results);
    return results.take();
}

template <typename Results>
void LatLongIndex::find(FixedLatLong fixed, Results& results) const {
    const LatLong point = from_fixed(fixed);
    const LatLongQuery query = latlong_query(point);
    const std::optional<int32_t> point_lat = fixed_latitude_of(point.lat);
    // The chord limit and the latitude window of the reach, worked out again
    // when the reach moves.
    double reach = results.reach(), limit_now = chord_limit(reach);
    LatitudeWindow window;
    if (point_lat) window = latitude_window(*point_lat, reach);
    const auto limit = [&] { return limit_now; };
    const auto scan = [&](int, int32_t first, int32_t end, double, double) {
        for (int32_t at = first; at < end; ++at) {
            const FixedLatLong location = locations_[at];
            SPHEREBENCH_COUNT(entries);
            if (window.excludes(location.lat)) continue;
            SPHEREBENCH_COUNT(scored);
            results.add(indices_[at], latlong_query_score(query, from_fixed(location)));
            if (results.reach() == reach) continue;
            reach = results.reach();
            limit_now = chord_limit(reach);
            if (point_lat) window = latitude_window(*point_lat, reach);
        }
    };
    const UnitVector p = vector_on_parallel<UnitVector>(query.cos_lat, query.sin_lat, point.lon);
    const auto place_of = [&](int face) { return FaceQuery{on_face(face, p.x, p.y, p.z), chord_major_term(face)}; };
    // The boxes bound the exact vectors of the positions (kCoordinateMargin),
    // which lie on the sphere; the score measures from the query's exact
    // vector, within kQueryError of p.
    const bool unit_query = near_unit(p.x, p.y, p.z);
    const auto ask_of = [&](const FaceQuery& face_query) {
        const FacePlace& q = face_query.place;
        return FaceAsk{sphere_query(q.a, q.b, q.face % 2 ? -q.major : q.major), unit_query, kQueryError};
    };
    search_faces(index_, place_of, ask_of, kScansEveryCopy<Results>, limit, scan);
}

template void LatLongIndex::find(FixedLatLong, NearestOne&) const;
template void LatLongIndex::find(FixedLatLong, CountingNearest&) const;
template void LatLongIndex::find(FixedLatLong, NearestK&) const;
template void LatLongIndex::find(FixedLatLong, WithinLimit&) const;

FixedLatLong LatLongIndex::location(int32_t k) const {
    if (table_) return table_[k];
    return locations_[std::find(indices_.begin(), indices_.end(), k) - indices_.begin()];
}

std::optional<std::string> LatLongIndex::opened_fault(int64_t count, SavedCheck check) const {
    return saved_fault(index_, {locations_.size()}, indices_, count, check);
}

}  // namespace spherebench
