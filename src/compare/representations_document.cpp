#include "compare/representations_document.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "base/format.h"
#include "base/report_text.h"
#include "forms/representations.h"
#include "random/random_tables.h"

namespace spherebench {

namespace {

// Times are read at the suite's largest table.
constexpr int kTimedAirports = kSuiteAirportCounts[std::size(kSuiteAirportCounts) - 1];
constexpr double kKilometre = 1000;

double ns_per_test(const SuiteFigures& figures, const FormMeasures& form) {
    return figures.median_per_test.at(timed_benchmark(form)) * 1e9;
}

// "0.84, 0.91, 1.24"
std::string load_averages(const SuiteFigures& figures) {
    std::string text;
    for (double load : figures.load_averages) text += (text.empty() ? "" : ", ") + printf_string("%.2f", load);
    return text.empty() ? "?" : text;
}

void print_introduction() {
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
}

// What the table's columns measure.
void print_columns(const BundledData& data, const SuiteFigures& figures) {
    std::printf(
        "## Size, precision, cost\n\n"
        "Position error as in [ACCURACY.md](ACCURACY.md): the angle between the stored form, as its\n"
        "search reads it back, and the source position, in millimetres on an Earth of radius %.0f km,\n"
        "in long double; on the %d bundled airports (`data/airports.csv`) and on %d random directions\n"
        "(seed %llu). Every form is made from the same double-precision unit vector of the source\n"
        "position; the fixed point is derived from the pair, as the program loads it.\n\n",
        kEarthRadiusMetres / kKilometre, static_cast<int>(data.positions.size()), kRandomDirections,
        static_cast<unsigned long long>(kRandomSeed));
    std::printf(
        "Time: CPU time per proximity test, the median of %d repetitions of the suite's benchmark at\n"
        "%d random airports and %d random points (`BM_...Pass/airports:%d`); all six from one\n"
        "run, repetitions interleaved at random; the repetitions of each spread by at most %.1f %%\n"
        "(coefficient of variation). Run of %s: %s, %s CPUs at %s MHz, %s; load average\n"
        "%s at the start. The suite's check before timing: %s searches (%d points at each of %d to\n"
        "%d airports) found the direction-cosine pass's winner.\n\n",
        figures.repetitions, kTimedAirports, kSuitePoints, kTimedAirports, 100 * figures.widest_spread,
        context_or(figures, "date", "?").c_str(), context_or(figures, "cpu", "CPU not recorded").c_str(),
        context_or(figures, "num_cpus", "?").c_str(), context_or(figures, "mhz_per_cpu", "?").c_str(),
        context_or(figures, "compiler", "compiler not recorded").c_str(), load_averages(figures).c_str(),
        context_or(figures, "same_winner_as_cdc_pass", "(not recorded)").c_str(), kSuitePoints, kSuiteAirportCounts[0],
        kTimedAirports);
    const int points = data.line.count;
    std::printf(
        "Nearest airport: at how many of the %d points of the bundled path (Bombay to Los Angeles) the\n"
        "form's search finds the true nearest airport, as ACCURACY.md defines it (haversine on the\n"
        "source coordinates from the exact great circle), and the closest call it misses, if any. The\n"
        "program's two forms search the bundled files as the program does; the other four search forms\n"
        "made from the source coordinates and from the points of the exact great circle. Points are\n"
        "numbered from 1 (Bombay) to %d (Los Angeles), as in ACCURACY.md.\n\n",
        points, points);
}

void print_table(const BundledData& data, const SuiteFigures& figures, const std::vector<FormMeasures>& forms) {
    std::printf(
        "| form | bytes | airports: worst (mm) | airports: mean (mm) | random: worst (mm) | random: mean (mm) "
        "| ns per test | relative to direction cosines | true nearest found | closest miss |\n"
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|\n");
    const double cdc_ns = ns_per_test(figures, forms[0]);
    for (const FormMeasures& f : forms) {
        std::string miss = "none";
        if (f.closest_miss >= 0) {
            const NearestAirports& t = data.truth[f.closest_miss];
            miss =
                printf_string("point %d, decided by %.3Lf m", f.closest_miss + 1, t.second_metres - t.nearest_metres);
        }
        const double ns = ns_per_test(figures, f);
        std::printf("| %s | %d | %s | %s | %s | %s | %.2f | %.2f | %d of %d | %s |\n", f.name.c_str(), f.bytes,
                    millimetres(f.on_airports.worst).c_str(), millimetres(f.on_airports.mean()).c_str(),
                    millimetres(f.on_random.worst).c_str(), millimetres(f.on_random.mean()).c_str(), ns, ns / cdc_ns,
                    f.found, data.line.count, miss.c_str());
    }
}

// The table in a sentence: the cheapest 8-byte form, the others of 8 bytes
// beside it, and the larger forms that are faster.
void print_reading(const SuiteFigures& figures, const std::vector<FormMeasures>& forms) {
    const FormMeasures* cheapest = nullptr;
    for (const FormMeasures& f : forms)
        if (f.bytes == 8 && (!cheapest || ns_per_test(figures, f) < ns_per_test(figures, *cheapest))) cheapest = &f;
    std::string same_size, faster;
    for (const FormMeasures& f : forms) {
        const double ratio = ns_per_test(figures, f) / ns_per_test(figures, *cheapest);
        const std::string text =
            printf_string("%s (%d bytes) takes %.2f times as long", f.label.c_str(), f.bytes, ratio);
        std::string& list = f.bytes == 8 ? same_size : faster;
        if (&f != cheapest && (f.bytes == 8 || ratio < 1)) list += (list.empty() ? "" : ", ") + text;
    }
    std::printf(
        "\nOf the 8-byte forms the cheapest to search is %s: %s. %s\n", cheapest->label.c_str(), same_size.c_str(),
        faster.empty() ? "No larger form is faster." : ("Only larger forms are faster: " + faster + ".").c_str());
    std::printf(
        "\n[PERFORMANCE.md](PERFORMANCE.md) times the program's two passes in more detail, on the\n"
        "machine and in the run it names; nanoseconds from different runs and machines differ, so set\n"
        "its ratio of the two passes beside this table's, not its times.\n");
}

// The bounds of forms/representations.h and geo/coords.h, on the Earth.
void print_bounds() {
    const double mm_per_radian = kEarthRadiusMetres * 1000;
    std::printf(
        "\nThe bounds (stated where each form is defined): the pair %.1f mm and the fixed point derived\n"
        "from it %.1f mm (ACCURACY.md); a leaf cell's longest diagonal, %.1f mm; an `S2Point` keeps the\n"
        "double vector exactly, so its error is the vector's own rounding; the double angles a few units\n"
        "in their last place, under %.0f nm; the floats sqrt(3) half units in the last place of a number\n"
        "below 1, %.2f m. The per-test work: the pair decodes two 30-bit cosines and takes one square\n"
        "root; the fixed point converts two angles and takes two sines and three cosines (the program\n"
        "keeps the point's own in every test); `S2CellId::ToPoint()` turns the cell's face and Hilbert\n"
        "position into a point on its face, projects and normalises it (a library call and a square\n"
        "root); `S2Point` and the floats have nothing to decode; the haversine takes two sines and a\n"
        "cosine (the point's cosine once per point).\n\n",
        static_cast<double>(kPairBoundMetres) * 1000,
        static_cast<double>(kPairBoundMetres + kTruncationBoundMetres) * 1000, kCellIdBound * mm_per_radian,
        std::ceil(kLatLongBound * kEarthRadiusMetres * 1e9), kFloatVectorBound * kEarthRadiusMetres);
}

// Where the ellipsoid's nearest airport differs from the sphere's, and its
// closest calls.
void print_ellipsoid(const BundledData& data, const EllipsoidComparison& e) {
    const int points = data.line.count;
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
        points, e.differ.size(), points);
    if (!e.differ.empty()) {
        std::printf(
            " The points where they differ:\n\n"
            "| point | nearest on the sphere | nearest on the ellipsoid | sphere: decided by (m) "
            "| ellipsoid: sphere's answer farther by (m) |\n|---:|---|---|---:|---:|\n");
        for (int i : e.differ) {
            const EllipsoidCall& c = e.calls[i];
            const NearestAirports& t = data.truth[i];
            const long double sphere_other = haversine_metres(data.path[i], data.positions[c.geodesic.nearest]);
            std::printf("| %d | %s | %s | %.3Lf | %.3f |\n", i + 1, data.sources[t.nearest].name.c_str(),
                        data.sources[c.geodesic.nearest].name.c_str(), sphere_other - t.nearest_metres, c.excess());
        }
        std::printf("\n");
    } else {
        std::printf("\n\n");
    }
    std::printf(
        "The closest calls on the ellipsoid:\n\n"
        "| point | nearest (geodesic) | runner-up | decided by (m) | same as the sphere's |\n"
        "|---:|---|---|---:|---|\n");
    for (int k = 0; k < kClosestCallsShown && k < points; ++k) {
        const int i = e.by_geodesic_margin[k];
        const NearestTwo<double>& g = e.calls[i].geodesic;
        std::printf("| %d | %s | %s | %.3f | %s |\n", i + 1, data.sources[g.nearest].name.c_str(),
                    data.sources[g.second].name.c_str(), g.second_metres - g.nearest_metres,
                    g.nearest == data.truth[i].nearest ? "yes" : "no");
    }
}

// What the ellipsoid means for the sphere's answers and the forms' precision.
void print_ellipsoid_meaning(const BundledData& data, const EllipsoidComparison& e,
                             const std::vector<FormMeasures>& forms) {
    const int points = data.line.count, differ = static_cast<int>(e.differ.size());
    std::printf(
        "\nWhat it means. A user who takes the sphere's answer gets the airport nearest along the\n"
        "ground at %d of %d points of this path.",
        points - differ, points);
    if (differ > 0)
        std::printf(
            " At the other %s it is an airport at most %.1f m farther than the\n"
            "nearest, %.3f %% of the distance.",
            differ == 1 ? "point" : (std::to_string(differ) + " points").c_str(), e.worst_excess,
            100 * e.worst_excess_share);
    std::printf(
        "\nThe ellipsoid's overall scale changes no answer; its shape does: it stretches distances\n"
        "along the meridians and across them differently (its radius of curvature runs from %.0f to\n"
        "%.0f km), which moves the runner-up's distance against the nearest's by %.1f m at the worst\n"
        "point of the path and %.1f m at the median point (of the %zu points not on an airport). Two\n"
        "airports whose distances on the sphere differ by less than that can trade places.\n\n",
        least_curvature_radius() / kKilometre, greatest_curvature_radius() / kKilometre, e.worst_shift, e.median_shift,
        e.shifts.size());
    // The larger of the pair's and the leaf cell's bounds, rounded up to the
    // centimetre, and the floats' (the last form's) measured worst.
    const double finest =
        std::ceil(4 * std::max<double>(kPairBoundMetres, kCellIdBound * kEarthRadiusMetres) * 100) / 100;
    const double floats = 4 * static_cast<double>(forms.back().worst());
    const bool finer = floats < e.median_shift / 10;
    std::printf(
        "What the forms' precision is worth beside it: a form can move the difference that decides a\n"
        "call by at most four times its position error (the airport's and the point's, on each\n"
        "distance): under %.2f m for the pair and S2's leaf cells, %.2f m for the program's fixed point\n"
        "and %.2f m for the floats, against the %.1f m by which the sphere moves it at the median point.\n"
        "%s\n",
        finest, 4 * static_cast<double>(kPairBoundMetres + kTruncationBoundMetres), floats, e.median_shift,
        finer ? "For telling which airport is nearest, the sphere's error outweighs every form's rounding\n"
                "more than tenfold: a form finer than the floats cannot make the sphere's answer any more\n"
                "right; only a search on the ellipsoid can."
              : "The floats' rounding is not far below the sphere's own error; the other forms' is.");
}

}  // namespace

std::string timed_benchmark(const FormMeasures& form) {
    return printf_string("%s/airports:%d", form.benchmark.c_str(), kTimedAirports);
}

std::optional<std::string> missing_timing(const std::vector<FormMeasures>& forms, const SuiteFigures& figures) {
    for (const FormMeasures& f : forms)
        if (!figures.median_per_test.contains(timed_benchmark(f))) return timed_benchmark(f);
    return std::nullopt;
}

void print_representations(const BundledData& data, const SuiteFigures& figures, const std::vector<FormMeasures>& forms,
                           const EllipsoidComparison& ellipsoid) {
    print_introduction();
    print_columns(data, figures);
    print_table(data, figures, forms);
    print_reading(figures, forms);
    print_bounds();
    print_ellipsoid(data, ellipsoid);
    print_ellipsoid_meaning(data, ellipsoid, forms);
}

std::string plot_data(const std::vector<FormMeasures>& forms, const SuiteFigures& figures) {
    std::string lines;
    for (const FormMeasures& f : forms)
        lines += printf_string("\"%s (%d B)\" %d %.6Le %.4f %d\n", f.label.c_str(), f.bytes, f.bytes, f.worst(),
                               ns_per_test(figures, f), f.programs_own ? 1 : 0);
    return lines;
}

}  // namespace spherebench
