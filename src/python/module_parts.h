// The parts of the Python module defined apart from module.cpp.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "python/searches.h"

namespace spherebench {

// nearest() and the class Index.
void define_searches(pybind11::module_& m);

// The conversions between squared chords, angles and kilometres.
void define_distances(pybind11::module_& m);

// save(), Index.open(), pickling, pairs and the repr of the class Index.
void define_saved(pybind11::class_<SearchTable>& index);

// The search of that name, or ValueError naming those there are.
PassSearch search_argument(const std::string& name);

// The pairs made ready for the search (its index built without the GIL).
SearchTable ready_table(std::vector<CdcPair> pairs, PassSearch search);

// The real number `value` checked to be a distance: at least 0, not NaN.
double distance_argument(double value, const char* name);

}  // namespace spherebench
