"""docs/REPRESENTATIONS.md: the six stored forms side by side, from the
record representations-report writes (`representations-report data`) and the
suite's run that times each form's search (its figures by the rule of
results.py)."""
import math

from .markdown import millimetres, table
from .results import figures, repetitions, taken, widest_cv

KILOMETRE = 1000


def ns_per_test(ns, form):
    return ns[form["benchmark"]]


def missing_timing(measures, ns):
    """The first form's benchmark the run holds no figure of, or None."""
    return next((f["benchmark"] for f in measures["forms"] if ns.get(f["benchmark"]) is None), None)


def worst(form):
    return max(form["airports"]["worst_metres"], form["random"]["worst_metres"])


def introduction():
    return """# The stored forms compared

Made by `tools/make_docs.sh` (the `representations-report` tool on `data/` and on the suite's
results in `docs/scaling.json`); do not edit by hand. `tools/make_docs.sh --time`
first runs the benchmark suite again and saves its results there, then remakes every document.

Six ways to store a location for a nearest-neighbour search on the sphere: the program's two
and four that others choose. Each form's search is brute force and scalar, decodes or converts
the airport's stored form in every test as the program's passes do, and keeps the lowest index
among equal scores. The four other forms and their searches are in `src/forms/representations.h`,
written plainly with s2geometry's own types where the form is s2geometry's. Here every table
sits in one core's L2; [SCALE.md](SCALE.md) measures the forms at up to 2^24 locations, past
every cache, one query at a time and in batches, on one core and two; [SEARCH.md](SEARCH.md)
searches them as people search, by scans that skip what cannot win and by indexes, beside
nanoflann's k-d tree, Boost.Geometry's R-tree and S2's closest-point query.

"""


def columns(m, results):
    c, suite, points = results["context"], m["suite"], m["path_points"]
    loads = ", ".join("%.2f" % x for x in c.get("load_avg", [])) or "?"
    n = suite["timed_airports"]
    return f"""## Size, precision, cost

Position error as in [ACCURACY.md](ACCURACY.md): the angle between the stored form, as its
search reads it back, and the source position, in millimetres on an Earth of radius {m['earth_radius_metres'] / KILOMETRE:.0f} km,
in long double; on the {m['bundled_airports']} bundled airports (`data/airports.csv`) and on {m['random_directions']} random directions
(seed {m['random_seed']}). Every form is made from the same double-precision unit vector of the source
position; the fixed point is derived from the pair, as the program loads it.

Time: CPU time per proximity test, the {taken(figures(results))} of {repetitions(results)} repetitions of the suite's benchmark at
{n} random airports and {suite['points']} random points (each form's benchmark, `.../airports:{n}`); all six from one
run, repetitions interleaved at random; the repetitions of each spread by at most {100 * widest_cv(results):.1f} %
(coefficient of variation). Run of {c.get('date', '?')}: {c.get('cpu', 'CPU not recorded')}, {c.get('num_cpus', '?')} CPUs at {c.get('mhz_per_cpu', '?')} MHz, {c.get('compiler', 'compiler not recorded')}; load average
{loads} at the start. The suite's check before timing: {c.get('same_winner_as_cdc_pass', '(not recorded)')} searches ({suite['points']} points at each of {suite['least_airports']} to
{n} airports) found the direction-cosine pass's winner.

Nearest airport: at how many of the {points} points of the bundled path (Bombay to Los Angeles) the
form's search finds the true nearest airport, as ACCURACY.md defines it (haversine on the
source coordinates from the exact great circle), and the closest call it misses, if any. The
program's two forms search the bundled files as the program does; the other four search forms
made from the source coordinates and from the points of the exact great circle. Points are
numbered from 1 (Bombay) to {points} (Los Angeles), as in ACCURACY.md.

"""


def forms_table(m, ns):
    cdc_ns = ns_per_test(ns, m["forms"][0])
    rows = []
    for f in m["forms"]:
        miss = f["closest_miss"]
        t = ns_per_test(ns, f)
        rows.append([f["name"], f["bytes"], millimetres(f["airports"]["worst_metres"]),
                     millimetres(f["airports"]["mean_metres"]), millimetres(f["random"]["worst_metres"]),
                     millimetres(f["random"]["mean_metres"]), "%.2f" % t, "%.2f" % (t / cdc_ns),
                     "%d of %d" % (f["found"], m["path_points"]),
                     "none" if miss is None else "point %d, decided by %.3f m" % (miss["point"], miss["decided_by_metres"])])
    return table(["form", "bytes", "airports: worst (mm)", "airports: mean (mm)", "random: worst (mm)",
                  "random: mean (mm)", "ns per test", "relative to direction cosines", "true nearest found",
                  "closest miss"], rows, "l" + "r" * 8 + "l") + "\n"


def reading(m, ns):
    """The table in a sentence: the cheapest 8-byte form, the others of 8
    bytes beside it, and the larger forms that are faster."""
    forms = m["forms"]
    cheapest = min((f for f in forms if f["bytes"] == 8), key=lambda f: ns_per_test(ns, f))
    same_size, faster = [], []
    for f in forms:
        ratio = ns_per_test(ns, f) / ns_per_test(ns, cheapest)
        text = "%s (%d bytes) takes %.2f times as long" % (f["label"], f["bytes"], ratio)
        if f is not cheapest and (f["bytes"] == 8 or ratio < 1):
            (same_size if f["bytes"] == 8 else faster).append(text)
    larger = "Only larger forms are faster: " + ", ".join(faster) + "." if faster else "No larger form is faster."
    return (f"\nOf the 8-byte forms the cheapest to search is {cheapest['label']}: {', '.join(same_size)}. {larger}\n"
            "\n[PERFORMANCE.md](PERFORMANCE.md) times the program's two passes in more detail, on the\n"
            "machine and in the run it names; nanoseconds from different runs and machines differ, so set\n"
            "its ratio of the two passes beside this table's, not its times.\n")


def bounds(m):
    b, radius = m["bounds"], m["earth_radius_metres"]
    return f"""
The bounds (stated where each form is defined): the pair {b['pair_metres'] * 1000:.1f} mm and the fixed point derived
from it {(b['pair_metres'] + b['fixed_truncation_metres']) * 1000:.1f} mm (ACCURACY.md); a leaf cell's longest diagonal, {b['cell_id_radians'] * radius * 1000:.1f} mm; an `S2Point` keeps the
double vector exactly, so its error is the vector's own rounding; the double angles a few units
in their last place, under {math.ceil(b['latlong_radians'] * radius * 1e9):.0f} nm; the floats sqrt(3) half units in the last place of a number
below 1, {b['float_vector_radians'] * radius:.2f} m. The per-test work: the pair decodes two 30-bit cosines and takes one square
root; the fixed point converts two angles and takes two sines and three cosines (the program
keeps the point's own in every test); `S2CellId::ToPoint()` turns the cell's face and Hilbert
position into a point on its face, projects and normalises it (a library call and a square
root); `S2Point` and the floats have nothing to decode; the haversine takes two sines and a
cosine (the point's cosine once per point).

"""


def ellipsoid(m):
    e, points = m["ellipsoid"], m["path_points"]
    out = f"""## The ellipsoid

Every form above searches a sphere; the Earth is nearer an ellipsoid, and the airports'
coordinates are geodetic latitudes and longitudes on WGS84. At each of the {points} points of the
path, the nearest airport by WGS84 geodesic distance (GeographicLib,
`Geodesic::WGS84().Inverse`, every airport tested, from the same point coordinates and
source coordinates as the sphere's true nearest above) is compared with the nearest on the
sphere.

**The nearest airport on the ellipsoid differs from the nearest on the sphere at {len(e['differ'])} of {points}
points.**"""
    if e["differ"]:
        out += " The points where they differ:\n\n" + table(
            ["point", "nearest on the sphere", "nearest on the ellipsoid", "sphere: decided by (m)",
             "ellipsoid: sphere's answer farther by (m)"],
            [[d["point"], d["sphere_nearest"], d["ellipsoid_nearest"], "%.3f" % d["sphere_decided_by_metres"],
              "%.3f" % d["excess_metres"]] for d in e["differ"]], "rllrr") + "\n\n"
    else:
        out += "\n\n"
    out += "The closest calls on the ellipsoid:\n\n" + table(
        ["point", "nearest (geodesic)", "runner-up", "decided by (m)", "same as the sphere's"],
        [[c["point"], c["nearest"], c["runner_up"], "%.3f" % c["decided_by_metres"],
          "yes" if c["same_as_sphere"] else "no"] for c in e["closest_calls"]], "rllrl") + "\n"
    return out


def ellipsoid_meaning(m):
    """What the ellipsoid means for the sphere's answers and the forms' precision."""
    e, points, b, radius = m["ellipsoid"], m["path_points"], m["bounds"], m["earth_radius_metres"]
    differ = len(e["differ"])
    out = ("\nWhat it means. A user who takes the sphere's answer gets the airport nearest along the\n"
           f"ground at {points - differ} of {points} points of this path.")
    if differ:
        where = "point" if differ == 1 else f"{differ} points"
        out += (f" At the other {where} it is an airport at most {e['worst_excess_metres']:.1f} m farther than the\n"
                f"nearest, {100 * e['worst_excess_share']:.3f} % of the distance.")
    out += f"""
The ellipsoid's overall scale changes no answer; its shape does: it stretches distances
along the meridians and across them differently (its radius of curvature runs from {e['least_curvature_radius_metres'] / KILOMETRE:.0f} to
{e['greatest_curvature_radius_metres'] / KILOMETRE:.0f} km), which moves the runner-up's distance against the nearest's by {e['worst_shift_metres']:.1f} m at the worst
point of the path and {e['median_shift_metres']:.1f} m at the median point (of the {e['points_off_airports']} points not on an airport). Two
airports whose distances on the sphere differ by less than that can trade places.

"""
    # The larger of the pair's and the leaf cell's bounds, rounded up to the
    # centimetre, and the floats' (the last form's) measured worst.
    finest = math.ceil(4 * max(b["pair_metres"], b["cell_id_radians"] * radius) * 100) / 100
    floats = 4 * worst(m["forms"][-1])
    verdict = ("For telling which airport is nearest, the sphere's error outweighs every form's rounding\n"
               "more than tenfold: a form finer than the floats cannot make the sphere's answer any more\n"
               "right; only a search on the ellipsoid can." if floats < e["median_shift_metres"] / 10 else
               "The floats' rounding is not far below the sphere's own error; the other forms' is.")
    return out + f"""What the forms' precision is worth beside it: a form can move the difference that decides a
call by at most four times its position error (the airport's and the point's, on each
distance): under {finest:.2f} m for the pair and S2's leaf cells, {4 * (b['pair_metres'] + b['fixed_truncation_metres']):.2f} m for the program's fixed point
and {floats:.2f} m for the floats, against the {e['median_shift_metres']:.1f} m by which the sphere moves it at the median point.
{verdict}
"""


def document(measures, results):
    """measures: representations-report's record; results: the suite's run."""
    ns = figures(results)
    return (introduction() + columns(measures, results) + forms_table(measures, ns) +
            reading(measures, ns) + bounds(measures) + ellipsoid(measures) + ellipsoid_meaning(measures))


def plot_rows(measures, results):
    """Per form: its label, bytes, worst error in metres, ns per test and
    whether it is one of the program's own."""
    ns = figures(results)
    return [("%s (%d B)" % (f["label"], f["bytes"]), f["bytes"], worst(f), ns_per_test(ns, f), f["programs_own"])
            for f in measures["forms"]]
