#include "geo/great_circle.h"

#include <cmath>

namespace spherebench {

namespace {

UnitVector cross(UnitVector a, UnitVector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double dot(UnitVector a, UnitVector b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

double norm(UnitVector a) { return std::sqrt(dot(a, a)); }

// Below this sine of the separation (about 6 m on the Earth) the two ends are
// taken as equal or opposite.
constexpr double kSmallestSine = 1e-6;

}  // namespace

double central_angle(UnitVector a, UnitVector b) { return std::atan2(norm(cross(a, b)), dot(a, b)); }

bool arc_is_defined(UnitVector a, UnitVector b) { return norm(cross(a, b)) >= kSmallestSine; }

std::vector<UnitVector> great_circle_points(UnitVector a, UnitVector b, int count) {
    const double omega = central_angle(a, b);
    const double sin_omega = std::sin(omega);
    std::vector<UnitVector> points;
    points.reserve(count);
    for (int i = 0; i < count; ++i) {
        // t is 0 and 1 exactly at the ends, where one weight is sin(0) = 0
        // and the other sin(omega) / sin(omega) = 1.
        const double t = static_cast<double>(i) / (count - 1);
        const double wa = std::sin((1.0 - t) * omega) / sin_omega;
        const double wb = std::sin(t * omega) / sin_omega;
        points.push_back({wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z});
    }
    return points;
}

}  // namespace spherebench
