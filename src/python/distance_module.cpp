// The module's conversions between squared chords, central angles and
// kilometres on the 6371 km sphere (geo/distance.h), of numbers and arrays.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "base/format.h"
#include "geo/distance.h"
#include "python/arrays.h"
#include "python/module_parts.h"

namespace py = pybind11;

namespace spherebench {

double distance_argument(double value, const char* name) {
    if (!(value >= 0)) throw py::value_error(std::string(name) + " must be at least 0, not " + shortest_decimal(value));
    return value;
}

namespace {

// convert(x) of a number (a float back) or of every element of an array (an
// array of its shape back), each checked to be a distance first.
py::object converted(py::handle values, const char* name, double (*convert)(double)) {
    const py::array_t<double> in = real_array(values, name);
    const double* x = in.data();
    if (in.ndim() == 0) return py::float_(convert(distance_argument(x[0], name)));
    py::array_t<double> out(std::vector<py::ssize_t>(in.shape(), in.shape() + in.ndim()));
    double* y = out.mutable_data();
    for (py::ssize_t i = 0; i < in.size(); ++i) y[i] = convert(distance_argument(x[i], name));
    return out;
}

// A conversion of the module: `python_name(name)`, from geo/distance.h's
// `convert`.
void define_conversion(py::module_& m, const char* python_name, const char* name, double (*convert)(double),
                       const std::string& doc) {
    m.def(
        python_name, [=](const ArrayLike& values) { return converted(values.object, name, convert); }, py::arg(name),
        (doc + "\n\nA float for a number, a float64 array of the same shape for an array; a negative or NaN " + name +
         " is a ValueError.")
            .c_str());
}

}  // namespace

void define_distances(py::module_& m) {
    m.attr("earth_radius_km") = kEarthRadiusKm;
    define_conversion(m, "chord_to_angle", "chords", chord2_to_angle,
                      "The central angle (radians) of each squared chord between unit vectors: 2 asin(sqrt(c) / 2),\n"
                      "within 5.3 units in the last place (pi for a chord above 4, as rounding leaves one).");
    define_conversion(m, "angle_to_chord", "angles", angle_to_chord2,
                      "The squared chord (2 sin(a / 2))^2 of each central angle (radians), within 5 units in the\n"
                      "last place; 4 for pi or more.");
    define_conversion(m, "chord_to_km", "chords", chord2_to_km,
                      "The distance in km on the 6371 km sphere of each squared chord between unit vectors\n"
                      "(chord_to_angle times earth_radius_km): within 8 nanometres.");
    define_conversion(m, "km_to_chord", "km", km_to_chord2,
                      "The squared chord between two directions each distance in km apart on the 6371 km sphere,\n"
                      "within 7 units in the last place; 4 from half the circumference (20015 km) on.");
    define_conversion(m, "within_chord", "km", within_chord2,
                      "The squared chord Index.within(queries, km) compares with: km_to_chord(km) raised just\n"
                      "enough that every location whose exact distance is at most km has a squared chord (the\n"
                      "program's score of the decoded pairs) at or below it; 20 units in the last place and\n"
                      "2^-92 above.");
}

}  // namespace spherebench
