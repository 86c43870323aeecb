#include "geo/reference_geometry.h"

#include <cmath>
#include <numbers>

namespace spherebench {

namespace {

constexpr long double kPiL = std::numbers::pi_v<long double>;
constexpr long double kRadiansPerDegreeL = kRadiansPerDegreeIn<long double>;
constexpr long double kFixedPiL = kFixedPi;

// In long double whatever the type of the angles given.
PreciseVector precise_of_radians(long double latitude, long double longitude) {
    return vector_of_radians<PreciseVector>(latitude, longitude);
}

}  // namespace

PreciseVector precise_vector(PreciseLatLong position) {
    return precise_of_radians(position.latitude * kRadiansPerDegreeL, position.longitude * kRadiansPerDegreeL);
}

PreciseVector precise_vector(UnitVector v) { return {v.x, v.y, v.z}; }

PreciseVector precise_vector(FixedLatLong f) {
    return precise_of_radians(f.lat * kPiL / kFixedPiL, f.lon * kPiL / kFixedPiL);
}

PreciseVector precise_vector(LatLong radians) { return precise_of_radians(radians.lat, radians.lon); }

PreciseLatLong precise_lat_long(PreciseVector v) {
    return {std::atan2(v.z, std::hypot(v.x, v.y)) / kRadiansPerDegreeL, std::atan2(v.y, v.x) / kRadiansPerDegreeL};
}

long double haversine_metres(PreciseLatLong a, PreciseLatLong b) {
    const long double lat1 = a.latitude * kRadiansPerDegreeL, lat2 = b.latitude * kRadiansPerDegreeL;
    const long double half_dlat = (lat2 - lat1) / 2;
    const long double half_dlon = (b.longitude - a.longitude) * kRadiansPerDegreeL / 2;
    const long double s = std::sin(half_dlat), t = std::sin(half_dlon);
    const long double h = s * s + std::cos(lat1) * std::cos(lat2) * t * t;
    return 2 * kEarthRadiusMetres * std::asin(std::sqrt(std::fmin(h, 1.0L)));
}

std::vector<PreciseLatLong> precise_great_circle(PreciseLatLong a, PreciseLatLong b, int count) {
    std::vector<PreciseLatLong> points;
    for (const PreciseVector& v : slerp_points(precise_vector(a), precise_vector(b), count))
        points.push_back(precise_lat_long(v));
    return points;
}

NearestAirports precise_nearest(PreciseLatLong position, const std::vector<PreciseLatLong>& airports) {
    NearestAirports found;
    for (size_t j = 0; j < airports.size(); ++j)
        found.offer(static_cast<int>(j), haversine_metres(position, airports[j]));
    return found;
}

}  // namespace spherebench
