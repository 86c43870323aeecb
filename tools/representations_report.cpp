// representations-report: six stored forms of a location side by side, the
// program's two and four that others choose (src/forms/representations.h):
// bytes, position error, whether each form's search finds the true nearest
// airport along the bundled path, and the suite's benchmark that times it;
// and how often the nearest airport on the WGS84 ellipsoid differs from the
// nearest on the sphere. Writes one JSON object to standard output
// (compare/representations_measures.h); deterministic for the same data.
// tools/spherebench_docs renders docs/REPRESENTATIONS.md from it and from
// the suite's saved results.
//
//   representations-report DATA_DIR
#include <cstdio>
#include <optional>
#include <string>

#include "base/tool_cli.h"
#include "compare/ellipsoid.h"
#include "compare/form_measures.h"
#include "compare/representations_measures.h"
#include "measure/bundled_measures.h"

using namespace spherebench;

namespace {

constexpr const char* kTool = "representations-report";

// Followed by kReportToolUsageEnd.
constexpr const char* kUsage =
    "usage: representations-report DATA_DIR\n"
    "\n"
    "Sets six stored forms of a location side by side (bytes, position error,\n"
    "nearest airports along DATA_DIR's path) and the sphere beside the WGS84\n"
    "ellipsoid; writes one JSON record to standard output, from which\n"
    "tools/spherebench_docs renders docs/REPRESENTATIONS.md.\n";

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = help_status(kTool, std::string(kUsage) + kReportToolUsageEnd, argc, argv))
        return *status;
    if (argc != 2) {
        tool_error(kTool, "usage: representations-report DATA_DIR");
        return kWrongCommandLine;
    }
    static BundledData data;
    if (auto failure = load_bundled_data(argv[1], data)) return tool_error(kTool, *failure);
    const std::vector<FormMeasures> forms = measure_forms(data, random_positions());
    const EllipsoidComparison ellipsoid = compare_with_ellipsoid(data);
    const std::string json = representations_json(data, forms, ellipsoid);
    const bool written = std::fputs(json.c_str(), stdout) >= 0;
    return std::fflush(stdout) == 0 && written ? 0 : tool_error(kTool, "can't write the record");
}
