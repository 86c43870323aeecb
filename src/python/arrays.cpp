#include "python/arrays.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "geo/cdc_encoder.h"
#include "input/input_files.h"

namespace py = pybind11;

namespace spherebench {

namespace {

// As NumPy converts it; anything it cannot make an array of is a TypeError.
py::array as_array(py::handle object, const char* name) {
    py::array array = py::array::ensure(object);
    if (!array) throw py::type_error(std::string(name) + " must be a NumPy array or a sequence NumPy takes as one");
    return array;
}

std::string shape_text(const py::array& array) {
    std::string text = "(";
    for (py::ssize_t axis = 0; axis < array.ndim(); ++axis)
        text += (axis ? ", " : "") + std::to_string(array.shape(axis));
    return text + (array.ndim() == 1 ? ",)" : ")");
}

std::string dtype_text(const py::array& array) { return py::str(array.dtype()).cast<std::string>(); }

}  // namespace

std::vector<CdcPair> pairs_argument(py::handle object, const char* name) {
    const py::array array = as_array(object, name);
    const py::dtype dtype = array.dtype();
    if (!((dtype.kind() == 'u' || dtype.kind() == 'i') && dtype.itemsize() == 4))
        throw py::type_error(std::string(name) + " must hold uint32 (or int32) words, not " + dtype_text(array));
    if (array.ndim() != 2 || array.shape(1) != 2)
        throw py::value_error(std::string(name) + " must have the shape (N, 2), a pair of words a row, not " +
                              shape_text(array));
    // int32 and uint32 convert to each other bit for bit; byte order and
    // strides are made native and contiguous here.
    const auto words = py::array_t<uint32_t, py::array::c_style | py::array::forcecast>::ensure(array);
    std::vector<CdcPair> pairs(static_cast<size_t>(array.shape(0)));
    if (!pairs.empty()) std::memcpy(pairs.data(), words.data(), pairs.size() * sizeof(CdcPair));
    return pairs;
}

Positions positions_argument(py::handle object, const char* name, bool one_allowed) {
    const py::array array = as_array(object, name);
    const bool one = one_allowed && array.ndim() == 1 && array.shape(0) == 2;
    const py::dtype dtype = array.dtype();
    const bool words = (dtype.kind() == 'u' || dtype.kind() == 'i') && dtype.itemsize() == 4;
    if (!words && dtype.kind() != 'f')
        throw py::type_error(std::string(name) + " must hold uint32 (or int32) pairs, or floats: degrees of " +
                             "latitude, longitude; not " + dtype_text(array));
    if (words) {
        if (!one) return {pairs_argument(array, name), false};
        return {pairs_argument(array.attr("reshape")(1, 2), name), true};
    }
    if (!one && (array.ndim() != 2 || array.shape(1) != 2))
        throw py::value_error(std::string(name) + " holds floats of the shape " + shape_text(array) +
                              ": degrees are rows of latitude, longitude, of the shape (N, 2)" +
                              (one_allowed ? " or (2,) for one position" : "") +
                              " (or give pairs: encode(latitudes, longitudes) makes them)");
    const auto degrees = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(array);
    const size_t count = one ? 1 : static_cast<size_t>(array.shape(0));
    Positions positions{std::vector<CdcPair>(count), one};
    const double* row = degrees.data();
    for (size_t i = 0; i < count; ++i, row += 2) {
        if (const auto failure = check_position(row[0], row[1]))
            throw py::value_error(std::string(name) + " row " + std::to_string(i) + ": " + *failure);
        positions.pairs[i] = encode_degrees(row[0], row[1]);
    }
    return positions;
}

py::array_t<double> real_array(py::handle object, const char* name) {
    const py::array array = as_array(object, name);
    const char kind = array.dtype().kind();
    if (kind != 'f' && kind != 'i' && kind != 'u')
        throw py::type_error(std::string(name) + " must hold real numbers, not " + dtype_text(array));
    return py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(array);
}

std::vector<double> reals_argument(py::handle object, const char* name) {
    const py::array_t<double> reals = real_array(object, name);
    if (reals.ndim() != 1)
        throw py::value_error(std::string(name) + " must be one-dimensional, not of the shape " + shape_text(reals));
    return std::vector<double>(reals.data(), reals.data() + reals.size());
}

void check_positions(const std::vector<double>& latitudes, const std::vector<double>& longitudes) {
    if (latitudes.size() != longitudes.size())
        throw py::value_error(std::to_string(latitudes.size()) + " latitudes but " + std::to_string(longitudes.size()) +
                              " longitudes");
    for (size_t i = 0; i < latitudes.size(); ++i)
        if (const auto failure = check_position(latitudes[i], longitudes[i]))
            throw py::value_error("position " + std::to_string(i) + ": " + *failure);
}

std::string quoted_list(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "\"" : ", \"") + name + "\"";
    return list;
}

}  // namespace spherebench
