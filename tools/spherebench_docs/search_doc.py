"""docs/SEARCH.md and the plot commands of docs/search.png from one run of
the query benchmarks (BM_Query, with repetitions). Each figure is the least
of the repetitions: per_query is each thread's CPU time, so the least is the
run the machine's other work disturbed least. The searches' forms and kinds
come from the catalogue (catalogue.py)."""
import re

NAME = re.compile(r"^BM_Query/(\w+)/locations:(\d+)/queries:(path|uniform)(/threads:(\d+))?$")
KINDS = ["path", "uniform"]
FORM_COLOURS = {"CdcPair": "#d62728", "FixedLatLong": "#1f77b4", "S2CellId": "#8c564b", "S2Point": "#9467bd",
                "FloatVector": "#2ca02c"}
KIND_DASH = {"Brute": 1, "Pruned": 2, "Index": 4, "Anchor": 3}
SEED_FORMS = ("CdcPair", "FixedLatLong")


def catalogue_facts(searches):
    """Search name -> (form, kind, exact) from catalogue.load(), the kind
    capitalised as the catalogue's enumeration spells it."""
    return {name: (s.form, s.kind.capitalize(), s.exact) for name, s in searches.items()}


class Run:
    """The least of the repetitions of every benchmark of the run."""

    def __init__(self, results, catalogue):
        self.context = results.get("context", {})
        self.catalogue = catalogue
        self.per_query, self.build, self.bytes, self.wrong = {}, {}, {}, {}
        for b in results["benchmarks"]:
            m = NAME.match(b.get("run_name", b["name"]))
            if not m or b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
                continue
            search, size, kind, threads = m[1], int(m[2]), m[3], int(m[5] or 1)
            key = (search, size, kind, threads)
            self.per_query[key] = min(self.per_query.get(key, float("inf")), b["per_query"])
            if "build" in b:
                self.build[(search, size)] = min(self.build.get((search, size), float("inf")), b["build"])
                self.bytes[(search, size)] = b["bytes_per_location"]
            if "wrong" in b:
                self.wrong[(search, size, kind)] = int(b["wrong"])
        self.searches = [s for s in catalogue if any(k[0] == s for k in self.per_query)]
        self.sizes = sorted({k[1] for k in self.per_query})

    def time(self, search, size, kind, threads=1):
        return self.per_query.get((search, size, kind, threads))

    def best(self, size, kind, keep):
        """The fastest search that keep(name, facts) accepts, and its time."""
        found = [(self.time(s, size, kind), s) for s in self.searches
                 if keep(s, self.catalogue[s]) and self.time(s, size, kind) is not None]
        return min(found) if found else (None, None)


def exact_of(form):
    return lambda name, facts: facts[0] == form and facts[2]


def anchors(name, facts):
    return facts[1] == "Anchor"


def exact(name, facts):
    return facts[2]


def us(seconds):
    if seconds is None:
        return "–"
    value = seconds * 1e6
    return "%.3g" % value if value < 1000 else "%.0f" % value


def answer(run):
    """The few sentences that answer the question, from the figures."""
    lines = []
    for kind in KINDS:
        runs = []  # [search, [(size, time)...]] over consecutive sizes
        for size in run.sizes:
            t, s = run.best(size, kind, exact)
            if s and runs and runs[-1][0] == s:
                runs[-1][1].append((size, t))
            elif s:
                runs.append([s, [(size, t)]])
        fastest = ["%s at %d (%s µs)" % (s, sizes[0][0], us(sizes[0][1])) if len(sizes) == 1 else
                   "%s from %d to %d (%s to %s µs)" % (s, sizes[0][0], sizes[-1][0], us(sizes[0][1]),
                                                      us(sizes[-1][1]))
                   for s, sizes in runs]
        lines.append("- Fastest exact search, %s queries: %s." % (kind, "; ".join(fastest)))
    for size in (14000, run.sizes[-1] if run.sizes else None):
        if size not in run.sizes:
            continue
        for kind in KINDS:
            at, anchor = run.best(size, kind, anchors)
            if not anchor:
                continue
            parts = []
            for form in FORM_COLOURS:
                t, s = run.best(size, kind, exact_of(form))
                if s:
                    parts.append("%s's best, %s, %.2f×" % (form, s, t / at))
            lines.append("- At %d locations, %s queries, against the best anchor (%s, %s µs): %s." %
                         (size, kind, anchor, us(at), "; ".join(parts)))
    for kind in KINDS:
        ratios = []
        for size in run.sizes:
            cdc, cs = run.best(size, kind, exact_of("CdcPair"))
            ll, ls = run.best(size, kind, exact_of("FixedLatLong"))
            brute_cdc, brute_ll = run.time("CdcBrute", size, kind), run.time("LatLongBrute", size, kind)
            if cs and ls and brute_cdc and brute_ll:
                ratios.append("%d: %.2f (brute force %.2f)" % (size, ll / cdc, brute_ll / brute_cdc))
        if ratios:
            lines.append("- The lat/long form's best over the pair's best, %s queries, by size: %s." %
                         (kind, "; ".join(ratios)))
    return lines


def goals(run):
    """The issue's ratios where the run has both sides: the pair's index
    against the k-d tree, its pruned vector scan against three floats."""
    lines = []
    for size in run.sizes:
        if size != 14000 and size < (1 << 20):
            continue
        for kind in KINDS:
            index, tree = run.time("CdcIndex", size, kind), run.time("NanoflannKdTree", size, kind)
            if index and tree:
                lines.append("- CdcIndex over NanoflannKdTree at %d, %s queries: %.2f× the time per query" %
                             (size, kind, index / tree))
            pruned, floats = run.time("CdcPrunedVector", size, kind), run.time("FloatBruteVector", size, kind)
            if pruned and floats:
                lines.append("- CdcPrunedVector over FloatBruteVector at %d, %s queries: %.2f×" %
                             (size, kind, pruned / floats))
        if (("CdcIndex", size) in run.build and ("NanoflannKdTree", size) in run.build):
            lines.append("- CdcIndex at %d: %.1f bytes per location, build %.2f× the k-d tree's" %
                         (size, run.bytes[("CdcIndex", size)],
                          run.build[("CdcIndex", size)] / run.build[("NanoflannKdTree", size)]))
    return lines or ["- Not measurable in this run: it has no CdcIndex or CdcPrunedVector."]


def time_table(run, threads):
    """Rows of searches, columns of the sizes run with that many threads."""
    sizes = [n for n in run.sizes if any(k[1] == n and k[3] == threads for k in run.per_query)]
    head = "| search | form | kind | " + " | ".join(str(s) for s in sizes) + " |"
    rows = [head, "|" + "---|" * 3 + "---:|" * len(sizes)]
    for s in run.searches:
        form, kind, _ = run.catalogue[s]
        cells = ["%s / %s" % (us(run.time(s, n, "path", threads)), us(run.time(s, n, "uniform", threads)))
                 for n in sizes]
        rows.append("| %s | %s | %s | %s |" % (s, form, kind.lower(), " | ".join(cells)))
    return rows


def build_table(run):
    rows = ["| search | size | build (ms) | bytes per location | wrong, path / uniform (of 1000) |",
            "|---|---:|---:|---:|---:|"]
    for s in run.searches:
        for n in run.sizes:
            if (s, n) in run.build:
                wrong = "%s / %s" % (run.wrong.get((s, n, "path"), "–"), run.wrong.get((s, n, "uniform"), "–"))
                rows.append("| %s | %d | %.3g | %.1f | %s |" %
                            (s, n, run.build[(s, n)] * 1e3, run.bytes[(s, n)],
                             wrong if run.catalogue[s][1] == "Anchor" else "exact"))
    return rows


def document(run, python_run=None):
    ctx = run.context
    about = "%s, %s, %s; load %s at the start, %s at the end" % (
        ctx.get("date", "?"), ctx.get("cpu", ctx.get("host_name", "?")), ctx.get("compiler", "?"),
        ctx.get("load_before", "?"), ctx.get("load_after", "?"))
    lines = [
        "# Searching as people search",
        "",
        "Every search of the catalogue (`src/catalogue/search_catalogue.h`) asked one query at a time by",
        "`BM_Query` (`benchmarks/query_benchmarks.cpp`) over random tables of 2^10 to 2^20 locations",
        "and 14000, the program's capacity: the brute forces, the scans that skip what cannot win, the",
        "indexes, and the anchors, other libraries' indexes over the same decoded pairs. Queries are",
        "1000 points along the great circle from Bombay to Los Angeles (path) or drawn uniformly on the",
        "sphere (uniform). Times are microseconds per query, the least of the repetitions of each, in",
        "each thread's CPU time (the machine is shared). Remade by `tools/make_docs.sh --search`.",
        "",
        "Run: " + about + ".",
        "",
        "![time per query against table size](search.png)",
        "",
        "## The answer",
        "",
    ] + answer(run) + [
        "",
        "Goals (lower is better, 1 or less meets the first, 1.2 the second):",
        "",
    ] + goals(run) + [
        "",
        "## Time per query, one thread (µs, path / uniform)",
        "",
    ] + time_table(run, 1) + [
        "",
        "## Time per query, two threads with the queries split (µs, path / uniform)",
        "",
    ] + time_table(run, 2) + [
        "",
        "## Build time and memory of the indexes and the anchors",
        "",
        "Build: the least of up to three builds. Bytes: all the structure holds over the table's",
        "count (an anchor's copy of the points included). Wrong: of the 1000 queries, how many the",
        "anchor answers with another location than `CdcBrute` over the same pairs (the exact squared",
        "chord of the decoded pair, the lowest index on ties).",
        "",
    ] + build_table(run) + python_section(python_run)
    return "\n".join(lines) + "\n"


def python_section(python_run):
    """The Python module beside scipy's and scikit-learn's trees, from a run
    of benchmarks/python_search.py --json; nothing without one."""
    if not python_run:
        return []
    c = python_run["context"]
    rows = []
    for r in python_run["rows"]:
        build = "-" if r["build_ms"] is None else "%.2f" % r["build_ms"]
        rows.append("| %s | %s | %s | %.2f | %d/%d |" % (r["table"], r["search"], build, r["query_us"], r["same"],
                                                        r["queries"]))
    return [
        "",
        "## From Python",
        "",
        "The Python module (`spherebench`) beside scipy's `cKDTree` over the decoded unit vectors and",
        "scikit-learn's `BallTree(metric=\"haversine\")` over their latitudes and longitudes, on the",
        "bundled tables and on random ones (`benchmarks/python_search.py`, run of %s, Python %s, NumPy %s;" % (
            c.get("date", "?"), c.get("python", "?"), c.get("numpy", "?")),
        "processor time, the least of %s runs). `nearest()` builds what its search needs in every call;" % c.get(
            "repeats", "?"),
        "`Index` once. Same winner: the queries answered with spherebench's exact nearest location.",
        "",
        "| table | search | build (ms) | query (µs a point) | same winner |",
        "|---|---|---:|---:|---:|",
    ] + rows


def plot_commands(run):
    """A panel per kind of query, a line per search; colour by form, dash by
    kind of search, anchors in grey shades."""
    out = []
    for s in run.searches:
        for kind in KINDS:
            points = [(n, run.time(s, n, kind)) for n in run.sizes if run.time(s, n, kind)]
            out.append("$%s_%s << EOD" % (s, kind))
            out += ["%d %.6g" % (n, t * 1e6) for n, t in points]
            out.append("EOD")
    greys = iter(["#000000", "#555555", "#999999", "#bbbbbb"])
    styles = {}
    for s in run.searches:
        form, kind, _ = run.catalogue[s]
        colour = next(greys, "#777777") if kind == "Anchor" else FORM_COLOURS.get(form, "#777777")
        styles[s] = 'lc rgb "%s" dt %d lw 2' % (colour, KIND_DASH.get(kind, 1))
    if run.sizes:
        out.append("set xrange [%g:%g]" % (run.sizes[0] / 1.4, run.sizes[-1] * 1.4))
    for i, kind in enumerate(KINDS):
        out.append("set origin %g, 0.3" % (0.5 * i))
        out.append("set size 0.5, 0.62")
        out.append('set title "%s queries"' % kind)
        out.append("unset key" if i == 0 else "set key at screen 0.5, screen 0.27 center top horizontal maxrows 5")
        plots = ["$%s_%s using 1:2 with linespoints %s title '%s'" % (s, kind, styles[s], s)
                 for s in run.searches]
        out.append("plot " + ", \\\n     ".join(plots))
    return "\n".join(out) + "\n"
