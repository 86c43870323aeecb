#include "geo/great_circle.h"

namespace spherebench {

namespace {

// Below this sine of the separation (about 6 m on the Earth) the two ends are
// taken as equal or opposite.
constexpr double kSmallestSine = 1e-6;

}  // namespace

bool arc_is_defined(UnitVector a, UnitVector b) { return norm(cross(a, b)) >= kSmallestSine; }

std::vector<UnitVector> great_circle_points(UnitVector a, UnitVector b, int count) { return slerp_points(a, b, count); }

}  // namespace spherebench
