// representations-report: six stored forms of a location side by side, the
// program's two and four that others choose (src/forms/representations.h): bytes,
// position error, time per test from one run of the benchmark suite, whether
// each form's search finds the true nearest airport along the bundled path;
// and how often the nearest airport on the WGS84 ellipsoid differs from the
// nearest on the sphere. Writes Markdown (docs/REPRESENTATIONS.md) to standard
// output; deterministic for the same data and suite results.
//
//   representations-report DATA_DIR FIGURES [PLOT_DATA]
//
// FIGURES is what `benchmarks/suite_results.py figures RESULTS.json` prints
// ("-" reads it from standard input), RESULTS.json the suite's output
// (--benchmark_out) of a run with repetitions; the medians are used. PLOT_DATA,
// if given, receives one line per form for gnuplot: "label" bytes
// worst-error-in-metres ns-per-test, then 1 for the program's own forms and 0
// for the others. The measuring and the writing are in src/compare.
#include <cstdio>
#include <optional>
#include <string>

#include "base/tool_cli.h"
#include "base/whole_file.h"
#include "compare/ellipsoid.h"
#include "compare/form_measures.h"
#include "compare/representations_document.h"
#include "compare/suite_figures.h"
#include "measure/bundled_measures.h"

using namespace spherebench;

namespace {

constexpr const char* kTool = "representations-report";

std::optional<std::string> read_figures(const std::string& path, SuiteFigures& figures) {
    std::string text;
    if (auto failure = read_whole_file(path, text)) return failure;
    if (auto failure = parse_suite_figures(text, figures)) return path + ": " + *failure;
    return std::nullopt;
}

std::optional<std::string> write_plot_data(const std::string& path, const std::string& lines) {
    std::FILE* plot = std::fopen(path.c_str(), "w");
    if (!plot) return "can't write " + path;
    const bool written = std::fputs(lines.c_str(), plot) >= 0;
    if (std::fclose(plot) != 0 || !written) return "can't write " + path;
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        tool_error(kTool, "usage: representations-report DATA_DIR FIGURES [PLOT_DATA]");
        return kWrongCommandLine;
    }
    static BundledData data;
    if (auto failure = load_bundled_data(argv[1], data)) return tool_error(kTool, *failure);
    SuiteFigures figures;
    if (auto failure = read_figures(argv[2], figures)) return tool_error(kTool, *failure);

    const std::vector<FormMeasures> forms = measure_forms(data, random_positions());
    if (auto missing = missing_timing(forms, figures)) return tool_error(kTool, "no median of " + *missing);
    const EllipsoidComparison ellipsoid = compare_with_ellipsoid(data);
    print_representations(data, figures, forms, ellipsoid);
    if (argc == 4) {
        if (auto failure = write_plot_data(argv[3], plot_data(forms, figures))) return tool_error(kTool, *failure);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
