// accuracy-report: how exactly the two stored forms keep a position, and how
// often each search finds the true nearest airport along the bundled path,
// measured against long double geometry on the source coordinates. Writes
// the measures as JSON to standard output, which tools/spherebench_docs
// renders as docs/ACCURACY.md; deterministic, so a rerun on the same data
// gives the same file. Distances in metres, angles in radians, points of the
// path numbered from 1.
//
//   accuracy-report [DATA_DIR]        DATA_DIR defaults to data
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/json_text.h"
#include "base/tool_cli.h"
#include "measure/bundled_measures.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "pass/pass_method.h"

using namespace spherebench;

namespace {

// Position errors of the three stored forms of one source position.
struct FormErrors {
    long double pair;           // the direction-cosine pair
    long double derived_fixed;  // fixed point as the benchmark derives it from the pair
    long double direct_fixed;   // fixed point made straight from the source
};

FormErrors errors_of(PreciseLatLong source) {
    const double lat = static_cast<double>(source.latitude), lon = static_cast<double>(source.longitude);
    const FixedLatLong direct = to_fixed({lat * kRadiansPerDegree, lon * kRadiansPerDegree});
    return {pair_error_metres(source), derived_fixed_error_metres(source),
            error_metres(precise_vector(direct), source)};
}

struct FormSummaries {
    ErrorSummary pair, derived_fixed, direct_fixed;
    void add(const FormErrors& e) {
        pair.add(e.pair);
        derived_fixed.add(e.derived_fixed);
        direct_fixed.add(e.direct_fixed);
    }
};

std::string form_record(const char* name, long double bound, const ErrorSummary& airports, const ErrorSummary& random) {
    return json_object({{"name", json_string(name)},
                        {"bound_metres", json_number(static_cast<double>(bound))},
                        {"airports", error_summary_json(airports)},
                        {"random", error_summary_json(random)}});
}

// The three forms' bounds and errors, as the document's rows.
std::string forms_record(const FormSummaries& on_airports, const FormSummaries& on_random) {
    return json_array_lines(
        {form_record("pair", kPairBoundMetres, on_airports.pair, on_random.pair),
         form_record("derived_fixed", kPairBoundMetres + kTruncationBoundMetres, on_airports.derived_fixed,
                     on_random.derived_fixed),
         form_record("direct_fixed", kTruncationBoundMetres, on_airports.direct_fixed, on_random.direct_fixed)},
        4);
}

// The closest calls along the path, closest first, and whether each method
// found the true nearest airport there.
std::string closest_calls(const BundledData& data, const std::vector<int>& cdc, const std::vector<int>& latlong) {
    std::vector<std::string> calls;
    for (int k = 0; k < kClosestCallsShown && k < data.line.count; ++k) {
        const int i = data.by_margin[k];
        const NearestAirports& t = data.truth[i];
        calls.push_back(
            json_object({{"point", std::to_string(i + 1)},
                         {"nearest", json_string(data.sources[t.nearest].name)},
                         {"runner_up", json_string(data.sources[t.second].name)},
                         {"nearest_metres", json_number(static_cast<double>(t.nearest_metres))},
                         {"runner_up_metres", json_number(static_cast<double>(t.second_metres))},
                         {"decided_by_metres", json_number(static_cast<double>(t.second_metres - t.nearest_metres))},
                         {"cdc_right", json_bool(cdc[i] == t.nearest)},
                         {"latlong_right", json_bool(latlong[i] == t.nearest)}}));
    }
    return json_array_lines(calls, 4);
}

int count_right(const BundledData& data, const std::vector<int>& winners) {
    int right = 0;
    for (int i = 0; i < data.line.count; ++i) right += winners[i] == data.truth[i].nearest;
    return right;
}

std::string accuracy_json(const BundledData& data, const FormSummaries& on_airports, const FormSummaries& on_random) {
    const std::vector<int> cdc = nearest_by_method<CdcMethod>(data.airports, data.line);
    const std::vector<int> latlong = nearest_by_method<LatLongMethod>(data.airports, data.line);
    return json_object_lines({{"earth_radius_metres", json_number(kEarthRadiusMetres)},
                              {"bundled_airports", std::to_string(data.airports.count)},
                              {"random_directions", std::to_string(kRandomDirections)},
                              {"random_seed", std::to_string(kRandomSeed)},
                              {"fixed_pi", json_number(kFixedPi)},
                              {"pair_bound_radians", json_number(kCdcPairBound)},
                              {"truncation_bound_radians", json_number(kFixedTruncationBound)},
                              {"forms", forms_record(on_airports, on_random)},
                              {"path_points", std::to_string(data.line.count)},
                              {"found", json_object({{"cdc", std::to_string(count_right(data, cdc))},
                                                     {"latlong", std::to_string(count_right(data, latlong))}})},
                              {"closest_calls", closest_calls(data, cdc, latlong)}}) +
           "\n";
}

constexpr const char* kTool = "accuracy-report";

// Followed by kReportToolUsageEnd.
constexpr const char* kUsage =
    "usage: accuracy-report [DATA_DIR]\n"
    "\n"
    "Measures how exactly the two stored forms keep the positions of DATA_DIR's\n"
    "airports.csv (and of random directions), and how often each search finds the\n"
    "true nearest airport along the path of its flightline.lnc, against long double\n"
    "geometry on the source coordinates. Writes the measures as JSON to standard\n"
    "output (tools/spherebench_docs renders them as docs/ACCURACY.md). DATA_DIR\n"
    "defaults to data.\n";

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = help_status(kTool, std::string(kUsage) + kReportToolUsageEnd, argc, argv))
        return *status;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() > 1) return usage_error(kTool, "one folder only, not " + args[0] + " and " + args[1]);
    if (!args.empty() && args[0].size() > 1 && args[0][0] == '-')
        return usage_error(kTool, "unknown option " + args[0]);
    static BundledData data;
    if (auto failure = load_bundled_data(args.empty() ? "data" : args[0], data)) return tool_error(kTool, *failure);

    FormSummaries on_airports, on_random;
    for (const PreciseLatLong& p : data.positions) on_airports.add(errors_of(p));
    for (const PreciseLatLong& p : random_positions()) on_random.add(errors_of(p));

    const std::string json = accuracy_json(data, on_airports, on_random);
    return std::fwrite(json.data(), 1, json.size(), stdout) == json.size() && std::fflush(stdout) == 0 ? 0 : 1;
}
