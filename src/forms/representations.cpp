#include "forms/representations.h"

#include <cmath>
#include <limits>

#include "geo/vectors.h"
#include "method/nearest.h"

namespace spherebench {

S2CellId cell_id_of(UnitVector v) { return S2CellId(S2Point(v.x, v.y, v.z)); }

S2Point s2_point_of(UnitVector v) { return S2Point(v.x, v.y, v.z); }

LatLong latlong_of(UnitVector v) { return {std::atan2(v.z, std::hypot(v.x, v.y)), std::atan2(v.y, v.x)}; }

FloatVector float_vector_of(UnitVector v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

UnitVector direction_of(S2CellId id) { return direction_of(id.ToPoint()); }

UnitVector direction_of(const S2Point& p) { return {p.x(), p.y(), p.z()}; }

UnitVector direction_of(LatLong a) { return vector_of_radians<UnitVector>(a.lat, a.lon); }

UnitVector direction_of(FloatVector f) { return {f.x, f.y, f.z}; }

namespace {

// The index of the airport with the smallest score, the lowest among equal
// scores; -1 when count is 0. The score is inlined into the loop.
template <typename Form, typename Score>
int32_t smallest_score(const Form* airports, int count, Score score) {
    using Value = decltype(score(airports[0]));
    return best_of(airports, count, std::numeric_limits<Value>::infinity(), score,
                   [](Value s, Value best) { return s < best; })
        .index;
}

}  // namespace

int32_t nearest_by_cell_ids(const S2CellId* airports, int count, const S2Point& point) {
    return smallest_score(airports, count, [&point](S2CellId airport) { return cell_chord2(airport, point); });
}

Nearest S2CellIdBrute::nearest(const S2Point& point) const {
    // The search gives the index alone: its score again, as it computes it.
    const int32_t j = nearest_by_cell_ids(cells_, count_, point);
    if (j == kNoWinner) return {kNoWinner, 0};
    return {j, cell_chord2(cells_[j], point)};
}

int32_t nearest_by_s2_points(const S2Point* airports, int count, const S2Point& point) {
    return smallest_score(airports, count, [&point](const S2Point& airport) { return (airport - point).Norm2(); });
}

int32_t nearest_by_haversine(const LatLong* airports, int count, LatLong point) {
    const double cos_point_lat = std::cos(point.lat);
    return smallest_score(airports, count, [point, cos_point_lat](LatLong airport) {
        const double s = std::sin((airport.lat - point.lat) * 0.5);
        const double t = std::sin((airport.lon - point.lon) * 0.5);
        return s * s + cos_point_lat * std::cos(airport.lat) * (t * t);
    });
}

int32_t nearest_by_float_vectors(const FloatVector* airports, int count, FloatVector point) {
    return smallest_score(airports, count, [point](FloatVector airport) {
        const float dx = airport.x - point.x;
        const float dy = airport.y - point.y;
        const float dz = airport.z - point.z;
        return (dx * dx + dy * dy) + dz * dz;
    });
}

}  // namespace spherebench
