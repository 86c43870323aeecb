"""docs/ACCURACY.md from the measures accuracy-report writes
(`accuracy-report data`): how exactly the program's stored forms keep a
position, and how often each pass finds the true nearest airport along the
bundled path."""
from .markdown import table

# What each measured form is, by the record's name of it.
FORMS = {"pair": "direction-cosine pair",
         "derived_fixed": "fixed-point latitude/longitude as the benchmark derives it from the pair",
         "direct_fixed": "fixed-point latitude/longitude made straight from the source"}


def scientific(value, decimals):
    """As printf's %e, the exponent without its padding: 2.28e-9."""
    mantissa, exponent = ("%.*e" % (decimals, value)).split("e")
    return "%se%d" % (mantissa, int(exponent))


def position_errors(m):
    rows = [[FORMS[f["name"]]] + ["%.5f" % x for x in (f["bound_metres"], f["airports"]["worst_metres"],
                                                        f["airports"]["mean_metres"], f["random"]["worst_metres"],
                                                        f["random"]["mean_metres"])] for f in m["forms"]]
    return f"""## Position error

Bundled airports: the {m['bundled_airports']} of `data/airports.csv`. Random directions: {m['random_directions']} directions uniform on
the sphere (fixed seed {m['random_seed']}). The bound is the proven worst case; the fixed point as the
benchmark holds it carries the pair's error as well as its own truncation.

{table(["stored form", "bound (m)", "airports: worst (m)", "airports: mean (m)", "random: worst (m)",
        "random: mean (m)"], rows)}

Why the bounds: a stored cosine is the centre of a cell 4/{m['fixed_pi']:.0f} wide, so it is off by at
most half that; the decoder recomputes the third component from the two stored ones, which
moves it by at most twice as much, and the three together by at most sqrt(6) half cells,
{scientific(m['pair_bound_radians'], 2)} radian. The fixed point truncates each angle toward zero by less than one unit of
pi/{m['fixed_pi']:.0f} radian, at most sqrt(2) units, {scientific(m['truncation_bound_radians'], 2)} radian, for the position.

"""


def nearest(m):
    points, calls = m["path_points"], m["closest_calls"]
    bounds = {f["name"]: f["bound_metres"] for f in m["forms"]}
    # A stored form can shift a difference of two distances by the error of
    # both ends on each distance: four times its bound.
    pair_blur, fixed_blur = 4 * bounds["pair"], 4 * bounds["derived_fixed"]
    closest = calls[0]
    verdict = ("no call on this path comes near what they can tell apart" if closest["decided_by_metres"] > fixed_blur
               else "calls closer than that are ties the stored forms cannot decide")
    right = {True: "right", False: "wrong"}
    rows = [[c["point"], c["nearest"], c["runner_up"], "%.3f" % c["decided_by_metres"], right[c["cdc_right"]],
             right[c["latlong_right"]]] for c in calls]
    return f"""## Nearest airport along the bundled path

For each of the {points} points from Bombay (BOM) to Los Angeles (LAX), the true nearest airport is
the nearest by haversine distance from the point of the exact great circle to the source
coordinates. Each method searches its own stored form, as the benchmark does. Points are
numbered from 1 (Bombay) to {points} (Los Angeles), in the order of `data/flightline.lnc`.

{table(["method", "true nearest found"], [["direction cosines", f"{m['found']['cdc']} of {points}"],
                                          ["latitude/longitude", f"{m['found']['latlong']} of {points}"]])}

The closest call was decided by {closest['decided_by_metres']:.3f} m: at point {closest['point']}, {closest['nearest']} is {closest['nearest_metres']:.1f} m away
and {closest['runner_up']} {closest['runner_up_metres']:.1f} m.
The stored forms can shift a difference of two distances by at most 4 times their bound
(the airport's and the point's error on each distance), {pair_blur:.3f} m for the pair and {fixed_blur:.3f} m
for the fixed point: {verdict}. The closest calls:

{table(["point", "true nearest", "runner-up", "decided by (m)", "direction cosines", "latitude/longitude"], rows,
       "rllrll")}
"""


def document(m):
    """docs/ACCURACY.md; m: accuracy-report's record."""
    return f"""# Accuracy of the stored forms

Made by `tools/make_docs.sh` (the `accuracy-report` tool on `data/`, rendered by
`tools/spherebench_docs`); do not edit by hand.

Every figure compares a stored form with the position it was made from, in metres on an Earth
of radius {m['earth_radius_metres'] / 1000:.0f} km, measured in long double arithmetic on the source coordinates (the latitude
and longitude in `data/airports.csv`, or a random direction).

""" + position_errors(m) + nearest(m)
