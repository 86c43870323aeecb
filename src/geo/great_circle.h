// Points spaced evenly along the shorter great-circle arc between two
// directions.
#pragma once

#include <vector>

#include "geo/coords.h"

namespace spherebench {

// The central angle between two unit vectors, atan2(|a x b|, a . b): accurate
// at every separation, unlike acos of the dot product near 0 and pi.
double central_angle(UnitVector a, UnitVector b);

// `count` points (at least 2) from a to b inclusive, at equal angular steps,
// by spherical interpolation; the first is a and the last is b exactly. The
// ends must be unit vectors that are neither equal nor opposite, where the
// arc is undefined; check with arc_is_defined first.
std::vector<UnitVector> great_circle_points(UnitVector a, UnitVector b, int count);

bool arc_is_defined(UnitVector a, UnitVector b);

}  // namespace spherebench
