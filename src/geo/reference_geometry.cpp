#include "geo/reference_geometry.h"

#include <cmath>
#include <limits>

namespace spherebench {

namespace {

constexpr long double kPiL = 3.141592653589793238462643383279502884L;
constexpr long double kRadiansPerDegree = kPiL / 180.0L;
constexpr long double kFixedPiL = 2147483640.0L;

PreciseVector cross(PreciseVector a, PreciseVector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

long double dot(PreciseVector a, PreciseVector b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

long double norm(PreciseVector a) { return std::sqrt(dot(a, a)); }

PreciseVector vector_of_radians(long double latitude, long double longitude) {
    const long double c = std::cos(latitude);
    return {c * std::cos(longitude), c * std::sin(longitude), std::sin(latitude)};
}

}  // namespace

PreciseVector precise_vector(PreciseLatLong position) {
    return vector_of_radians(position.latitude * kRadiansPerDegree, position.longitude * kRadiansPerDegree);
}

PreciseVector precise_vector(UnitVector v) { return {v.x, v.y, v.z}; }

PreciseVector precise_vector(FixedLatLong f) {
    return vector_of_radians(f.lat * kPiL / kFixedPiL, f.lon * kPiL / kFixedPiL);
}

PreciseVector precise_vector(LatLong radians) { return vector_of_radians(radians.lat, radians.lon); }

PreciseLatLong precise_lat_long(PreciseVector v) {
    return {std::atan2(v.z, std::hypot(v.x, v.y)) / kRadiansPerDegree, std::atan2(v.y, v.x) / kRadiansPerDegree};
}

long double angle_between(PreciseVector a, PreciseVector b) { return std::atan2(norm(cross(a, b)), dot(a, b)); }

long double haversine_metres(PreciseLatLong a, PreciseLatLong b) {
    const long double lat1 = a.latitude * kRadiansPerDegree, lat2 = b.latitude * kRadiansPerDegree;
    const long double half_dlat = (lat2 - lat1) / 2;
    const long double half_dlon = (b.longitude - a.longitude) * kRadiansPerDegree / 2;
    const long double s = std::sin(half_dlat), t = std::sin(half_dlon);
    const long double h = s * s + std::cos(lat1) * std::cos(lat2) * t * t;
    return 2 * kEarthRadiusMetres * std::asin(std::sqrt(std::fmin(h, 1.0L)));
}

std::vector<PreciseLatLong> precise_great_circle(PreciseLatLong a, PreciseLatLong b, int count) {
    const PreciseVector va = precise_vector(a), vb = precise_vector(b);
    const long double omega = angle_between(va, vb);
    std::vector<PreciseLatLong> points;
    for (int i = 0; i < count; ++i) {
        const long double t = static_cast<long double>(i) / (count - 1);
        const long double wa = std::sin((1 - t) * omega) / std::sin(omega);
        const long double wb = std::sin(t * omega) / std::sin(omega);
        points.push_back(precise_lat_long({wa * va.x + wb * vb.x, wa * va.y + wb * vb.y, wa * va.z + wb * vb.z}));
    }
    return points;
}

NearestAirports precise_nearest(PreciseLatLong position, const std::vector<PreciseLatLong>& airports) {
    const long double infinity = std::numeric_limits<long double>::infinity();
    NearestAirports found{-1, infinity, -1, infinity};
    for (size_t j = 0; j < airports.size(); ++j) {
        const long double d = haversine_metres(position, airports[j]);
        if (d < found.nearest_metres) {
            found.second = found.nearest;
            found.second_metres = found.nearest_metres;
            found.nearest_metres = d;
            found.nearest = static_cast<int>(j);
        } else if (d < found.second_metres) {
            found.second = static_cast<int>(j);
            found.second_metres = d;
        }
    }
    return found;
}

}  // namespace spherebench
