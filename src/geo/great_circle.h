// Points spaced evenly along the shorter great-circle arc between two
// directions. The central angle between two directions is angle_between of
// geo/vectors.h.
#pragma once

#include <vector>

#include "geo/coords.h"
#include "geo/vectors.h"

namespace spherebench {

// `count` points (at least 2) from a to b inclusive, at equal angular steps,
// by spherical interpolation (slerp_points); the first is a and the last is b exactly. The
// ends must be unit vectors that are neither equal nor opposite, where the
// arc is undefined; check with arc_is_defined first.
std::vector<UnitVector> great_circle_points(UnitVector a, UnitVector b, int count);

bool arc_is_defined(UnitVector a, UnitVector b);

}  // namespace spherebench
