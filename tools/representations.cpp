#include "representations.h"

#include <cmath>

S2CellId cell_id_of(UnitVector v) { return S2CellId(S2Point(v.x, v.y, v.z)); }

S2Point s2_point_of(UnitVector v) { return S2Point(v.x, v.y, v.z); }

LatLong latlong_of(UnitVector v) { return {std::atan2(v.z, std::hypot(v.x, v.y)), std::atan2(v.y, v.x)}; }

FloatVector float_vector_of(UnitVector v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

UnitVector direction_of(S2CellId id) { return direction_of(id.ToPoint()); }

UnitVector direction_of(const S2Point& p) { return {p.x(), p.y(), p.z()}; }

UnitVector direction_of(LatLong a) {
    const double c = std::cos(a.lat);
    return {c * std::cos(a.lon), c * std::sin(a.lon), std::sin(a.lat)};
}

UnitVector direction_of(FloatVector f) { return {f.x, f.y, f.z}; }

int32_t nearest_by_cell_ids(const S2CellId* airports, int count, const S2Point& point) {
    int32_t winner = -1;
    double best = INFINITY;
    for (int j = 0; j < count; ++j) {
        const double chord2 = (airports[j].ToPoint() - point).Norm2();
        if (chord2 < best) {
            best = chord2;
            winner = j;
        }
    }
    return winner;
}

int32_t nearest_by_s2_points(const S2Point* airports, int count, const S2Point& point) {
    int32_t winner = -1;
    double best = INFINITY;
    for (int j = 0; j < count; ++j) {
        const double chord2 = (airports[j] - point).Norm2();
        if (chord2 < best) {
            best = chord2;
            winner = j;
        }
    }
    return winner;
}

int32_t nearest_by_haversine(const LatLong* airports, int count, LatLong point) {
    const double cos_point_lat = std::cos(point.lat);
    int32_t winner = -1;
    double best = INFINITY;
    for (int j = 0; j < count; ++j) {
        const double s = std::sin((airports[j].lat - point.lat) * 0.5);
        const double t = std::sin((airports[j].lon - point.lon) * 0.5);
        const double h = s * s + cos_point_lat * std::cos(airports[j].lat) * (t * t);
        if (h < best) {
            best = h;
            winner = j;
        }
    }
    return winner;
}

int32_t nearest_by_float_vectors(const FloatVector* airports, int count, FloatVector point) {
    int32_t winner = -1;
    float best = INFINITY;
    for (int j = 0; j < count; ++j) {
        const float dx = airports[j].x - point.x;
        const float dy = airports[j].y - point.y;
        const float dz = airports[j].z - point.z;
        const float chord2 = (dx * dx + dy * dy) + dz * dz;
        if (chord2 < best) {
            best = chord2;
            winner = j;
        }
    }
    return winner;
}
