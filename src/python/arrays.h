// The module's arguments read from NumPy arrays (or anything NumPy makes an
// array of), each checked before any work: a wrong kind of number raises
// TypeError, a wrong shape or value ValueError, each naming the argument.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "geo/coords.h"

namespace spherebench {

// An (N, 2) array of uint32 or int32 words, one pair a row (int32 read as the
// same bits, as the input files write them).
std::vector<CdcPair> pairs_argument(pybind11::handle object, const char* name);

// Positions given as pairs (pairs_argument's words) or as floats, rows of
// latitude and longitude in degrees, encoded as encode() encodes them: the
// dtype tells them apart. Where `one_allowed`, a shape-(2,) array is one
// position given alone (`single`), whose answers are given alone too.
struct Positions {
    std::vector<CdcPair> pairs;
    bool single = false;
};
Positions positions_argument(pybind11::handle object, const char* name, bool one_allowed);

// An argument that is an array or what NumPy makes one of, read by the
// functions above; help() names its type as NumPy's typing does.
struct ArrayLike {
    pybind11::object object;
};

// An array of real numbers of any shape (a number: of none), as a
// contiguous array of doubles.
pybind11::array_t<double> real_array(pybind11::handle object, const char* name);

// A one-dimensional array of real numbers, as doubles.
std::vector<double> reals_argument(pybind11::handle object, const char* name);

// Latitudes and longitudes in degrees, as many of each, every position in
// [-90, 90] x [-180, 180] (NaN refused), as make-inputs takes them.
void check_positions(const std::vector<double>& latitudes, const std::vector<double>& longitudes);

// "a", "b", "c": the names as an error message lists them.
std::string quoted_list(const std::vector<std::string>& names);

}  // namespace spherebench

namespace pybind11::detail {

template <>
struct type_caster<spherebench::ArrayLike> {
    PYBIND11_TYPE_CASTER(spherebench::ArrayLike, const_name("numpy.typing.ArrayLike"));
    bool load(handle source, bool) {
        value.object = reinterpret_borrow<object>(source);
        return true;
    }
    static handle cast(const spherebench::ArrayLike& array, return_value_policy, handle) {
        return array.object.inc_ref();
    }
};

}  // namespace pybind11::detail
