// The parts of the Python module defined apart from module.cpp.
#pragma once

#include <pybind11/pybind11.h>

namespace spherebench {

// nearest() and the class Index.
void define_searches(pybind11::module_& m);

// The conversions between squared chords, angles and kilometres.
void define_distances(pybind11::module_& m);

// The real number `value` checked to be a distance: at least 0, not NaN.
double distance_argument(double value, const char* name);

}  // namespace spherebench
