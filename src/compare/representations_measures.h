// What representations-report measures, as one JSON object for the document
// that tools/spherebench_docs renders of it (docs/REPRESENTATIONS.md): the
// six stored forms side by side (form_measures.h), the bounds and sizes the
// document quotes, and the ellipsoid (ellipsoid.h). Times are not measured
// here: each form names the suite's benchmark that times its search.
#pragma once

#include <string>
#include <vector>

#include "compare/ellipsoid.h"
#include "compare/form_measures.h"
#include "measure/bundled_measures.h"

namespace spherebench {

// The suite's benchmark that times a form's search: at its largest table.
std::string timed_benchmark(const FormMeasures& form);

// The whole record, one JSON object ending in a line feed. Distances are in
// metres, angles in radians, points of the path numbered from 1.
std::string representations_json(const BundledData& data, const std::vector<FormMeasures>& forms,
                                 const EllipsoidComparison& ellipsoid);

}  // namespace spherebench
