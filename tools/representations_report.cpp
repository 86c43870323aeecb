// representations-report: six stored forms of a location side by side, the
// program's two and four that others choose (src/forms/representations.h): bytes,
// position error, time per test from one run of the benchmark suite, whether
// each form's search finds the true nearest airport along the bundled path;
// and how often the nearest airport on the WGS84 ellipsoid differs from the
// nearest on the sphere. Writes Markdown (docs/REPRESENTATIONS.md) to standard
// output; deterministic for the same data and suite results.
//
//   representations-report DATA_DIR RESULTS.json [PLOT_DATA]
//
// RESULTS.json is the suite's output (--benchmark_out) of a run with
// repetitions; the medians are used. PLOT_DATA, if given, receives one line
// per form for gnuplot: "label" bytes worst-error-in-metres ns-per-test,
// then 1 for the program's own forms and 0 for the others.
#include <GeographicLib/Geodesic.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/cdc_method.h"
#include "bench/latlong_method.h"
#include "bench/method_search.h"
#include "forms/representations.h"
#include "geo/cdc_encoder.h"
#include "measure/bundled_measures.h"

using namespace spherebench;

namespace {

// Time per test is read at the suite's largest table.
constexpr const char* kTimedAt = "/airports:14000";
constexpr int kClosestCallsShown = 5;

// The fields of Google Benchmark's JSON output that the report uses. The
// library writes one "key": value per line, which is all this reads.
struct SuiteRun {
    std::map<std::string, std::string> context;     // first occurrence of each key in "context"
    std::map<std::string, double> median_per_test;  // run name -> seconds
    double widest_spread = 0;                       // the largest coefficient of variation
    int repetitions = 0;
};

std::string unquote(std::string value) {
    if (!value.empty() && value.back() == ',') value.pop_back();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return value;
}

SuiteRun read_suite_run(const std::string& path) {
    std::ifstream in(path);
    if (!in) fail("can't open " + path);
    SuiteRun run;
    bool in_context = false;
    std::string line, name;
    while (std::getline(in, line)) {
        const size_t start = line.find('"');
        const size_t key_end = start == std::string::npos ? start : line.find("\": ", start + 1);
        if (key_end == std::string::npos) continue;
        const std::string key = line.substr(start + 1, key_end - start - 1);
        const std::string value = unquote(line.substr(key_end + 3));
        if (key == "context") in_context = true;
        if (key == "benchmarks") in_context = false;
        if (in_context) run.context.emplace(key, value);
        if (key == "name") name = value;
        if (key == "repetitions") run.repetitions = std::stoi(value);
        const std::string suffix = "_median";
        if (key == "per_test" && name.size() > suffix.size() && name.ends_with(suffix))
            run.median_per_test[name.substr(0, name.size() - suffix.size())] = std::stod(value);
        if (key == "per_test" && name.ends_with("_cv"))
            run.widest_spread = std::max(run.widest_spread, std::stod(value));
    }
    if (run.median_per_test.empty()) fail(path + " holds no medians: run the suite with --benchmark_repetitions");
    return run;
}

std::string context_or(const SuiteRun& run, const std::string& key, const std::string& otherwise) {
    const auto found = run.context.find(key);
    return found == run.context.end() ? otherwise : found->second;
}

// "[0.52,0.93,1.41]" as "0.52, 0.93, 1.41".
std::string load_averages(const SuiteRun& run) {
    std::string list = context_or(run, "load_avg", "[?]"), text;
    list = list.substr(1, list.size() - 2);
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        char number[32];
        std::snprintf(number, sizeof number, "%.2f", std::atof(list.substr(start, end - start).c_str()));
        text += (text.empty() ? "" : ", ") + std::string(number);
        start = end + 1;
    }
    return text;
}

// The direction each source position is stored from: the same double unit
// vector the bundled pairs were encoded from.
UnitVector source_vector(PreciseLatLong p) {
    return vector_from_degrees(static_cast<double>(p.latitude), static_cast<double>(p.longitude));
}

long double cell_id_error(PreciseLatLong p) {
    return error_metres(precise_vector(direction_of(cell_id_of(source_vector(p)))), p);
}
long double s2_point_error(PreciseLatLong p) {
    return error_metres(precise_vector(direction_of(s2_point_of(source_vector(p)))), p);
}
long double latlong_error(PreciseLatLong p) { return error_metres(precise_vector(latlong_of(source_vector(p))), p); }
long double float_vector_error(PreciseLatLong p) {
    return error_metres(precise_vector(direction_of(float_vector_of(source_vector(p)))), p);
}

// A form's search at every point of the path, both made from the sources.
template <typename Form, typename Make, typename Search>
std::vector<int> form_winners(const BundledData& data, Make make, Search search) {
    std::vector<Form> airports;
    for (const PreciseLatLong& p : data.positions) airports.push_back(make(source_vector(p)));
    std::vector<int> winners;
    for (const PreciseLatLong& p : data.path)
        winners.push_back(search(airports.data(), static_cast<int>(airports.size()), make(source_vector(p))));
    return winners;
}

struct Form {
    const char* name;
    const char* label;  // in the plot
    int bytes;
    const char* benchmark;  // the suite's benchmark family
    long double (*error)(PreciseLatLong);
    std::vector<int> winners;
    ErrorSummary on_airports, on_random;
};

// Millimetres: two decimals, as docs/ACCURACY.md gives metres to five; a
// form far finer than that in two significant digits.
std::string millimetres(long double metres) {
    char text[32];
    const long double mm = metres * 1000;
    std::snprintf(text, sizeof text, mm >= 0.01L ? "%.2Lf" : "%.1Le", mm);
    return text;
}

// The nearest two airports by WGS84 geodesic distance, and the geodesic
// distances of the sphere's nearest two.
struct EllipsoidCall {
    int nearest = -1, second = -1;
    double nearest_metres = 1e300, second_metres = 1e300;
    double sphere_nearest_metres = 0, sphere_second_metres = 0;
};

EllipsoidCall ellipsoid_call(const BundledData& data, int i) {
    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    const double lat = static_cast<double>(data.path[i].latitude), lon = static_cast<double>(data.path[i].longitude);
    EllipsoidCall call;
    for (int j = 0; j < static_cast<int>(data.sources.size()); ++j) {
        double metres;
        wgs84.Inverse(lat, lon, data.sources[j].latitude, data.sources[j].longitude, metres);
        if (j == data.truth[i].nearest) call.sphere_nearest_metres = metres;
        if (j == data.truth[i].second) call.sphere_second_metres = metres;
        if (metres < call.nearest_metres) {
            call.second = call.nearest;
            call.second_metres = call.nearest_metres;
            call.nearest = j;
            call.nearest_metres = metres;
        } else if (metres < call.second_metres) {
            call.second = j;
            call.second_metres = metres;
        }
    }
    return call;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The table in a sentence: the cheapest 8-byte form, the others of 8 bytes
// beside it, and the larger forms that are faster.
template <typename Time>
void print_reading(const Form (&forms)[6], Time ns_per_test) {
    const Form* cheapest = nullptr;
    for (const Form& f : forms)
        if (f.bytes == 8 && (!cheapest || ns_per_test(f) < ns_per_test(*cheapest))) cheapest = &f;
    std::string same_size, faster;
    for (const Form& f : forms) {
        const double ratio = ns_per_test(f) / ns_per_test(*cheapest);
        char text[160];
        std::snprintf(text, sizeof text, "%s (%d bytes) takes %.2f times as long", f.label, f.bytes, ratio);
        std::string& list = f.bytes == 8 ? same_size : faster;
        if (&f != cheapest && (f.bytes == 8 || ratio < 1)) list += (list.empty() ? "" : ", ") + std::string(text);
    }
    std::printf(
        "\nOf the 8-byte forms the cheapest to search is %s: %s. %s\n", cheapest->label, same_size.c_str(),
        faster.empty() ? "No larger form is faster." : ("Only larger forms are faster: " + faster + ".").c_str());
    std::printf(
        "\n[PERFORMANCE.md](PERFORMANCE.md) times the program's two passes in more detail, on the\n"
        "machine and in the run it names; nanoseconds from different runs and machines differ, so set\n"
        "its ratio of the two passes beside this table's, not its times.\n");
}

}  // namespace

int main(int argc, char** argv) {
    set_tool_name("representations-report");
    if (argc < 3 || argc > 4) fail("usage: representations-report DATA_DIR RESULTS.json [PLOT_DATA]");
    static BundledData data;
    load_bundled_data(argv[1], data);
    const SuiteRun run = read_suite_run(argv[2]);
    const int points = data.line.count;

    Form forms[] = {
        {"concise direction-cosine pair (`CdcPair`, the program's)",
         "direction cosines",
         8,
         "BM_CdcPass",
         pair_error_metres,
         nearest_by_method<CdcMethod>(data.airports, data.line),
         {},
         {}},
        {"fixed-point latitude/longitude (`FixedLatLong`, the program's, derived from the pair)",
         "fixed lat/long",
         8,
         "BM_LatLongPass",
         derived_fixed_error_metres,
         nearest_by_method<LatLongMethod>(data.airports, data.line),
         {},
         {}},
        {"s2geometry leaf cell id (`S2CellId`), decoded by `ToPoint()`",
         "S2CellId",
         8,
         "BM_S2CellIdPass",
         cell_id_error,
         form_winners<S2CellId>(
             data, cell_id_of,
             [](const S2CellId* a, int n, S2CellId p) { return nearest_by_cell_ids(a, n, p.ToPoint()); }),
         {},
         {}},
        {"s2geometry point (`S2Point`, three doubles)",
         "S2Point",
         24,
         "BM_S2PointPass",
         s2_point_error,
         form_winners<S2Point>(data, s2_point_of, nearest_by_s2_points),
         {},
         {}},
        {"latitude/longitude in double radians, haversine",
         "haversine",
         16,
         "BM_HaversinePass",
         latlong_error,
         form_winners<LatLong>(data, latlong_of, nearest_by_haversine),
         {},
         {}},
        {"unit vector in three floats, squared chord in float",
         "float vector",
         12,
         "BM_FloatVectorPass",
         float_vector_error,
         form_winners<FloatVector>(data, float_vector_of, nearest_by_float_vectors),
         {},
         {}},
    };
    const std::vector<PreciseLatLong> random = random_directions();
    for (Form& f : forms) {
        for (const PreciseLatLong& p : data.positions) f.on_airports.add(f.error(p));
        for (const PreciseLatLong& p : random) f.on_random.add(f.error(p));
    }
    auto ns_per_test = [&](const Form& f) {
        const auto found = run.median_per_test.find(std::string(f.benchmark) + kTimedAt);
        if (found == run.median_per_test.end()) fail(std::string("no median of ") + f.benchmark + kTimedAt);
        return found->second * 1e9;
    };
    const double cdc_ns = ns_per_test(forms[0]);

    std::printf(
        "# The stored forms compared\n\n"
        "Made by `tools/make_docs.sh` (the `representations-report` tool on `data/` and on the suite's\n"
        "results in `docs/scaling.json`); do not edit by hand. `tools/make_docs.sh --time`\n"
        "first runs the benchmark suite again and saves its results there, then remakes every document.\n\n"
        "Six ways to store a location for a nearest-neighbour search on the sphere: the program's two\n"
        "and four that others choose. Each form's search is brute force and scalar, decodes or converts\n"
        "the airport's stored form in every test as the program's passes do, and keeps the lowest index\n"
        "among equal scores. The four other forms and their searches are in `src/forms/representations.h`,\n"
        "written plainly with s2geometry's own types where the form is s2geometry's. Here every table\n"
        "sits in one core's L2; [SCALE.md](SCALE.md) measures the forms at up to 2^24 locations, past\n"
        "every cache, one query at a time and in batches, on one core and two.\n\n");

    std::printf(
        "## Size, precision, cost\n\n"
        "Position error as in [ACCURACY.md](ACCURACY.md): the angle between the stored form, as its\n"
        "search reads it back, and the source position, in millimetres on an Earth of radius 6371 km,\n"
        "in long double; on the %d bundled airports (`data/airports.csv`) and on %d random directions\n"
        "(seed %llu). Every form is made from the same double-precision unit vector of the source\n"
        "position; the fixed point is derived from the pair, as the program loads it.\n\n",
        static_cast<int>(data.positions.size()), kRandomDirections, static_cast<unsigned long long>(kRandomSeed));
    std::printf(
        "Time: CPU time per proximity test, the median of %d repetitions of the suite's benchmark at\n"
        "14000 random airports and 1000 random points (`BM_...Pass/airports:14000`); all six from one\n"
        "run, repetitions interleaved at random; the repetitions of each spread by at most %.1f %%\n"
        "(coefficient of variation). Run of %s: %s, %s CPUs at %s MHz, %s; load average\n"
        "%s at the start. The suite's check before timing: %s searches (1000 points at each of 1000 to\n"
        "14000 airports) found the direction-cosine pass's winner.\n\n",
        run.repetitions, 100 * run.widest_spread, context_or(run, "date", "?").c_str(),
        context_or(run, "cpu", "CPU not recorded").c_str(), context_or(run, "num_cpus", "?").c_str(),
        context_or(run, "mhz_per_cpu", "?").c_str(), context_or(run, "compiler", "compiler not recorded").c_str(),
        load_averages(run).c_str(), context_or(run, "same_winner_as_cdc_pass", "(not recorded)").c_str());
    std::printf(
        "Nearest airport: at how many of the %d points of the bundled path (Bombay to Los Angeles) the\n"
        "form's search finds the true nearest airport, as ACCURACY.md defines it (haversine on the\n"
        "source coordinates from the exact great circle), and the closest call it misses, if any. The\n"
        "program's two forms search the bundled files as the program does; the other four search forms\n"
        "made from the source coordinates and from the points of the exact great circle. Points are\n"
        "numbered from 1 (Bombay) to %d (Los Angeles), as in ACCURACY.md.\n\n",
        points, points);
    std::printf(
        "| form | bytes | airports: worst (mm) | airports: mean (mm) | random: worst (mm) | random: mean (mm) "
        "| ns per test | relative to direction cosines | true nearest found | closest miss |\n"
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|\n");
    std::FILE* plot = argc == 4 ? std::fopen(argv[3], "w") : nullptr;
    if (argc == 4 && !plot) fail(std::string("can't write ") + argv[3]);
    for (const Form& f : forms) {
        int found = 0, closest_miss = -1;
        for (int k = points - 1; k >= 0; --k) {
            const int i = data.by_margin[k];
            if (f.winners[i] == data.truth[i].nearest)
                ++found;
            else
                closest_miss = i;
        }
        std::string miss = "none";
        if (closest_miss >= 0) {
            const NearestAirports& t = data.truth[closest_miss];
            char text[96];
            std::snprintf(text, sizeof text, "point %d, decided by %.3Lf m", closest_miss + 1,
                          t.second_metres - t.nearest_metres);
            miss = text;
        }
        const double ns = ns_per_test(f);
        std::printf("| %s | %d | %s | %s | %s | %s | %.2f | %.2f | %d of %d | %s |\n", f.name, f.bytes,
                    millimetres(f.on_airports.worst).c_str(), millimetres(f.on_airports.mean()).c_str(),
                    millimetres(f.on_random.worst).c_str(), millimetres(f.on_random.mean()).c_str(), ns, ns / cdc_ns,
                    found, points, miss.c_str());
        if (plot)
            std::fprintf(plot, "\"%s (%d B)\" %d %.6Le %.4f %d\n", f.label, f.bytes, f.bytes,
                         std::max(f.on_airports.worst, f.on_random.worst), ns, &f - forms < 2);
    }
    if (plot && std::fclose(plot) != 0) fail(std::string("can't write ") + argv[3]);
    print_reading(forms, ns_per_test);

    std::printf(
        "\nThe bounds (stated where each form is defined): the pair 14.5 mm and the fixed point derived\n"
        "from it 27.7 mm (ACCURACY.md); a leaf cell's longest diagonal, 14.5 mm; an `S2Point` keeps the\n"
        "double vector exactly, so its error is the vector's own rounding; the double angles a few units\n"
        "in their last place, under 64 nm; the floats sqrt(3) half units in the last place of a number\n"
        "below 1, 0.33 m. The per-test work: the pair decodes two 30-bit cosines and takes one square\n"
        "root; the fixed point converts two angles and takes two sines and three cosines (the program\n"
        "keeps the point's own in every test); `S2CellId::ToPoint()` turns the cell's face and Hilbert\n"
        "position into a point on its face, projects and normalises it (a library call and a square\n"
        "root); `S2Point` and the floats have nothing to decode; the haversine takes two sines and a\n"
        "cosine (the point's cosine once per point).\n\n");

    // The ellipsoid.
    std::vector<EllipsoidCall> calls;
    for (int i = 0; i < points; ++i) calls.push_back(ellipsoid_call(data, i));
    std::vector<int> differ;
    std::vector<double> shifts;
    double worst_excess = 0, worst_excess_share = 0;
    for (int i = 0; i < points; ++i) {
        const EllipsoidCall& c = calls[i];
        const NearestAirports& t = data.truth[i];
        // The runner-up's geodesic distance against the nearest's scaled as
        // the sphere has them: zero if the ellipsoid only rescaled distances.
        // Not where the point is on an airport (the path's ends).
        if (t.nearest_metres >= 1) {
            const double scale = static_cast<double>(t.second_metres / t.nearest_metres);
            shifts.push_back(std::fabs(c.sphere_second_metres - c.sphere_nearest_metres * scale));
        }
        if (c.nearest != t.nearest) {
            differ.push_back(i);
            const double excess = c.sphere_nearest_metres - c.nearest_metres;
            worst_excess = std::max(worst_excess, excess);
            worst_excess_share = std::max(worst_excess_share, excess / c.nearest_metres);
        }
    }
    std::sort(differ.begin(), differ.end(), [&](int a, int b) {
        return calls[a].sphere_nearest_metres - calls[a].nearest_metres <
               calls[b].sphere_nearest_metres - calls[b].nearest_metres;
    });
    const double worst_shift = *std::max_element(shifts.begin(), shifts.end());
    const Form& floats = forms[5];
    const double worst_form_metres = static_cast<double>(std::max(floats.on_airports.worst, floats.on_random.worst));

    std::printf(
        "## The ellipsoid\n\n"
        "Every form above searches a sphere; the Earth is nearer an ellipsoid, and the airports'\n"
        "coordinates are geodetic latitudes and longitudes on WGS84. At each of the %d points of the\n"
        "path, the nearest airport by WGS84 geodesic distance (GeographicLib,\n"
        "`Geodesic::WGS84().Inverse`, every airport tested, from the same point coordinates and\n"
        "source coordinates as the sphere's true nearest above) is compared with the nearest on the\n"
        "sphere.\n\n"
        "**The nearest airport on the ellipsoid differs from the nearest on the sphere at %zu of %d\n"
        "points.**",
        points, differ.size(), points);
    if (!differ.empty()) {
        std::printf(
            " The points where they differ:\n\n"
            "| point | nearest on the sphere | nearest on the ellipsoid | sphere: decided by (m) "
            "| ellipsoid: sphere's answer farther by (m) |\n|---:|---|---|---:|---:|\n");
        for (int i : differ) {
            const EllipsoidCall& c = calls[i];
            const NearestAirports& t = data.truth[i];
            const long double sphere_other = haversine_metres(data.path[i], data.positions[c.nearest]);
            std::printf("| %d | %s | %s | %.3Lf | %.3f |\n", i + 1, data.sources[t.nearest].name.c_str(),
                        data.sources[c.nearest].name.c_str(), sphere_other - t.nearest_metres,
                        c.sphere_nearest_metres - c.nearest_metres);
        }
        std::printf("\n");
    } else {
        std::printf("\n\n");
    }
    std::vector<int> by_geodesic_margin(points);
    for (int i = 0; i < points; ++i) by_geodesic_margin[i] = i;
    std::stable_sort(by_geodesic_margin.begin(), by_geodesic_margin.end(), [&](int a, int b) {
        return calls[a].second_metres - calls[a].nearest_metres < calls[b].second_metres - calls[b].nearest_metres;
    });
    std::printf(
        "The closest calls on the ellipsoid:\n\n"
        "| point | nearest (geodesic) | runner-up | decided by (m) | same as the sphere's |\n"
        "|---:|---|---|---:|---|\n");
    for (int k = 0; k < kClosestCallsShown && k < points; ++k) {
        const int i = by_geodesic_margin[k];
        const EllipsoidCall& c = calls[i];
        std::printf("| %d | %s | %s | %.3f | %s |\n", i + 1, data.sources[c.nearest].name.c_str(),
                    data.sources[c.second].name.c_str(), c.second_metres - c.nearest_metres,
                    c.nearest == data.truth[i].nearest ? "yes" : "no");
    }
    const int agree = points - static_cast<int>(differ.size());
    std::printf(
        "\nWhat it means. A user who takes the sphere's answer gets the airport nearest along the\n"
        "ground at %d of %d points of this path.",
        agree, points);
    if (!differ.empty())
        std::printf(
            " At the other %s it is an airport at most %.1f m farther than the\n"
            "nearest, %.3f %% of the distance.",
            differ.size() == 1 ? "point" : (std::to_string(differ.size()) + " points").c_str(), worst_excess,
            100 * worst_excess_share);
    std::printf(
        "\nThe ellipsoid's overall scale changes no answer; its shape does: it stretches distances\n"
        "along the meridians and across them differently (its radius of curvature runs from 6335 to\n"
        "6400 km), which moves the runner-up's distance against the nearest's by %.1f m at the worst\n"
        "point of the path and %.1f m at the median point (of the %zu points not on an airport). Two\n"
        "airports whose distances on the sphere differ by less than that can trade places.\n\n",
        worst_shift, median(shifts), shifts.size());
    const bool finer = 4 * worst_form_metres < median(shifts) / 10;
    std::printf(
        "What the forms' precision is worth beside it: a form can move the difference that decides a\n"
        "call by at most four times its position error (the airport's and the point's, on each\n"
        "distance): under 0.06 m for the pair and S2's leaf cells, 0.11 m for the program's fixed point\n"
        "and %.2f m for the floats, against the %.1f m by which the sphere moves it at the median point.\n"
        "%s\n",
        4 * worst_form_metres, median(shifts),
        finer ? "For telling which airport is nearest, the sphere's error outweighs every form's rounding\n"
                "more than tenfold: a form finer than the floats cannot make the sphere's answer any more\n"
                "right; only a search on the ellipsoid can."
              : "The floats' rounding is not far below the sphere's own error; the other forms' is.");
    return std::fflush(stdout) == 0 ? 0 : 1;
}
