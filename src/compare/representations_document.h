// docs/REPRESENTATIONS.md, the Markdown that representations-report writes:
// the six stored forms side by side (form_measures.h), their searches' times
// from one run of the suite (compare/suite_figures.h), and the ellipsoid
// (ellipsoid.h). Every bound and count in its prose comes from the constants
// where they are defined.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "compare/ellipsoid.h"
#include "compare/form_measures.h"
#include "compare/suite_figures.h"
#include "measure/bundled_measures.h"

namespace spherebench {

// The suite's benchmark that times a form's search: at its largest table.
std::string timed_benchmark(const FormMeasures& form);

// The first of the forms' timed benchmarks the figures hold no median of.
std::optional<std::string> missing_timing(const std::vector<FormMeasures>& forms, const SuiteFigures& figures);

// The whole document on standard output; every form's timing must be there.
void print_representations(const BundledData& data, const SuiteFigures& figures, const std::vector<FormMeasures>& forms,
                           const EllipsoidComparison& ellipsoid);

// One line per form for tools/plot_representations.gp: "label" bytes
// worst-error-in-metres ns-per-test, then 1 for the program's own forms and 0
// for the others.
std::string plot_data(const std::vector<FormMeasures>& forms, const SuiteFigures& figures);

}  // namespace spherebench
