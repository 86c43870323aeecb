// Vector arithmetic on the sphere, written once for every three-component
// type with members x, y and z: the benchmark's double UnitVector and the
// reference geometry's long double PreciseVector. Each is evaluated in the
// precision of its type, so the reference stays the slow exact one and the
// encoder and the tools stay in double.
#pragma once

#include <cmath>
#include <vector>

namespace spherebench {

template <typename V>
concept Vector3 = requires(V v) {
    v.x;
    v.y;
    v.z;
};

template <Vector3 V>
V cross(V a, V b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

template <Vector3 V>
auto dot(V a, V b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

template <Vector3 V>
auto norm(V a) {
    return std::sqrt(dot(a, a));
}

// The squared distance ((ax - bx)^2 + (ay - by)^2) + (az - bz)^2, every
// operation rounded in the components' own type (float stays float): the
// squared chord every search over three components scores by, in its order.
template <Vector3 V>
auto squared_chord(V a, V b) {
    const auto dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return (dx * dx + dy * dy) + dz * dz;
}

// The angle in radians between the directions of two vectors of any length,
// atan2(|a x b|, a . b): accurate at every separation, unlike acos of the dot
// product near 0 and pi.
template <Vector3 V>
auto angle_between(V a, V b) {
    return std::atan2(norm(cross(a, b)), dot(a, b));
}

// The unit vector at longitude lon (radians) on the parallel whose latitude
// has the cosine cos_lat and the sine sin_lat:
// (cos_lat cos lon, cos_lat sin lon, sin_lat).
template <Vector3 V, typename Real>
V vector_on_parallel(Real cos_lat, Real sin_lat, Real lon) {
    return {cos_lat * std::cos(lon), cos_lat * std::sin(lon), sin_lat};
}

// The unit vector of a latitude and longitude in radians.
template <Vector3 V, typename Real>
V vector_of_radians(Real lat, Real lon) {
    return vector_on_parallel<V>(std::cos(lat), std::sin(lat), lon);
}

// `count` points (at least 2) from a to b inclusive, at equal angular steps
// along the shorter great circle, by spherical interpolation: t is 0 and 1
// exactly at the ends, where one weight is sin(0) = 0 and the other
// sin(omega) / sin(omega) = 1, so the ends are a and b exactly. a and b must
// be unit vectors, neither equal nor opposite.
template <Vector3 V>
std::vector<V> slerp_points(V a, V b, int count) {
    using Real = decltype(dot(a, b));
    const Real omega = angle_between(a, b);
    const Real sin_omega = std::sin(omega);
    std::vector<V> points;
    points.reserve(count);
    for (int i = 0; i < count; ++i) {
        const Real t = static_cast<Real>(i) / (count - 1);
        const Real wa = std::sin((1 - t) * omega) / sin_omega;
        const Real wb = std::sin(t * omega) / sin_omega;
        points.push_back({wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z});
    }
    return points;
}

}  // namespace spherebench
