// accuracy-report: how exactly the two stored forms keep a position, and how
// often each search finds the true nearest airport along the bundled path,
// measured against long double geometry on the source coordinates. Writes
// Markdown (docs/ACCURACY.md) to standard output; deterministic, so a rerun
// on the same data gives the same file.
//
//   accuracy-report [DATA_DIR]        DATA_DIR defaults to data
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/report_text.h"
#include "base/tool_cli.h"
#include "measure/bundled_measures.h"
#include "method/cdc_method.h"
#include "method/latlong_method.h"
#include "method/method_search.h"

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

void print_row(const char* form, long double bound, const ErrorSummary& airports, const ErrorSummary& random) {
    std::printf("| %s | %.5Lf | %.5Lf | %.5Lf | %.5Lf | %.5Lf |\n", form, bound, airports.worst, airports.mean(),
                random.worst, random.mean());
}

void print_introduction() {
    std::printf(
        "# Accuracy of the stored forms\n\n"
        "Made by `tools/make_docs.sh` (the `accuracy-report` tool on `data/`); do not edit by hand.\n\n"
        "Every figure compares a stored form with the position it was made from, in metres on an Earth\n"
        "of radius %.0f km, measured in long double arithmetic on the source coordinates (the latitude\n"
        "and longitude in `data/airports.csv`, or a random direction).\n\n",
        kEarthRadiusMetres / 1000);
}

// The bounds and the errors of the three forms, and why the bounds: the
// derivation of geo/coords.h, told to the document's reader, with its figures
// from the constants.
void print_position_errors(int airport_count, const FormSummaries& on_airports, const FormSummaries& on_random) {
    std::printf(
        "## Position error\n\n"
        "Bundled airports: the %d of `data/airports.csv`. Random directions: %d directions uniform on\n"
        "the sphere (fixed seed %llu). The bound is the proven worst case; the fixed point as the\n"
        "benchmark holds it carries the pair's error as well as its own truncation.\n\n",
        airport_count, kRandomDirections, static_cast<unsigned long long>(kRandomSeed));
    std::printf(
        "| stored form | bound (m) | airports: worst (m) | airports: mean (m) | random: worst (m) | random: mean (m) "
        "|\n"
        "|---|---:|---:|---:|---:|---:|\n");
    print_row("direction-cosine pair (`CdcPair`)", kPairBoundMetres, on_airports.pair, on_random.pair);
    print_row("fixed-point latitude/longitude as the benchmark derives it from the pair",
              kPairBoundMetres + kTruncationBoundMetres, on_airports.derived_fixed, on_random.derived_fixed);
    print_row("fixed-point latitude/longitude made straight from the source", kTruncationBoundMetres,
              on_airports.direct_fixed, on_random.direct_fixed);
    std::printf(
        "\nWhy the bounds: a stored cosine is the centre of a cell 4/%.0f wide, so it is off by at\n"
        "most half that; the decoder recomputes the third component from the two stored ones, which\n"
        "moves it by at most twice as much, and the three together by at most sqrt(6) half cells,\n"
        "%s radian. The fixed point truncates each angle toward zero by less than one unit of\n"
        "pi/%.0f radian, at most sqrt(2) units, %s radian, for the position.\n\n",
        kFixedPi, scientific(kCdcPairBound, 2).c_str(), kFixedPi, scientific(kFixedTruncationBound, 2).c_str());
}

// How often each method finds the true nearest airport, and the closest
// calls along the path.
void print_nearest(const BundledData& data, const std::vector<int>& cdc, const std::vector<int>& latlong) {
    const auto& [sources, positions, airports, line, path, truth, by_margin] = data;
    int cdc_right = 0, latlong_right = 0;
    for (int i = 0; i < line.count; ++i) {
        cdc_right += cdc[i] == truth[i].nearest;
        latlong_right += latlong[i] == truth[i].nearest;
    }
    const int closest = by_margin.front();
    std::printf(
        "## Nearest airport along the bundled path\n\n"
        "For each of the %d points from Bombay (BOM) to Los Angeles (LAX), the true nearest airport is\n"
        "the nearest by haversine distance from the point of the exact great circle to the source\n"
        "coordinates. Each method searches its own stored form, as the benchmark does. Points are\n"
        "numbered from 1 (Bombay) to %d (Los Angeles), in the order of `data/flightline.lnc`.\n\n"
        "| method | true nearest found |\n|---|---:|\n"
        "| direction cosines | %d of %d |\n| latitude/longitude | %d of %d |\n\n",
        line.count, line.count, cdc_right, line.count, latlong_right, line.count);
    const long double margin = truth[closest].second_metres - truth[closest].nearest_metres;
    const long double pair_blur = 4 * kPairBoundMetres, fixed_blur = 4 * (kPairBoundMetres + kTruncationBoundMetres);
    std::printf("The closest call was decided by %.3Lf m: at point %d, %s is %.1Lf m away\nand %s %.1Lf m.\n", margin,
                closest + 1, sources[truth[closest].nearest].name.c_str(), truth[closest].nearest_metres,
                sources[truth[closest].second].name.c_str(), truth[closest].second_metres);
    std::printf(
        "The stored forms can shift a difference of two distances by at most 4 times their bound\n"
        "(the airport's and the point's error on each distance), %.3Lf m for the pair and %.3Lf m\n"
        "for the fixed point: %s. The closest calls:\n\n",
        pair_blur, fixed_blur,
        margin > fixed_blur ? "no call on this path comes near what they can tell apart"
                            : "calls closer than that are ties the stored forms cannot decide");
    std::printf(
        "| point | true nearest | runner-up | decided by (m) | direction cosines | latitude/longitude |\n"
        "|---:|---|---|---:|---|---|\n");
    for (int k = 0; k < kClosestCallsShown && k < line.count; ++k) {
        const int i = by_margin[k];
        std::printf("| %d | %s | %s | %.3Lf | %s | %s |\n", i + 1, sources[truth[i].nearest].name.c_str(),
                    sources[truth[i].second].name.c_str(), truth[i].second_metres - truth[i].nearest_metres,
                    cdc[i] == truth[i].nearest ? "right" : "wrong", latlong[i] == truth[i].nearest ? "right" : "wrong");
    }
}

constexpr const char* kTool = "accuracy-report";

// Followed by kReportToolUsageEnd.
constexpr const char* kUsage =
    "usage: accuracy-report [DATA_DIR]\n"
    "\n"
    "Measures how exactly the two stored forms keep the positions of DATA_DIR's\n"
    "airports.csv (and of random directions), and how often each search finds the\n"
    "true nearest airport along the path of its flightline.lnc, against long double\n"
    "geometry on the source coordinates. Writes Markdown (docs/ACCURACY.md) to\n"
    "standard output. DATA_DIR defaults to data.\n";

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

    print_introduction();
    print_position_errors(data.airports.count, on_airports, on_random);
    print_nearest(data, nearest_by_method<CdcMethod>(data.airports, data.line),
                  nearest_by_method<LatLongMethod>(data.airports, data.line));
    return std::fflush(stdout) == 0 ? 0 : 1;
}
