"""docs/SEARCH.md and the plot commands of docs/search.png from one run of
the query benchmarks (BM_Query, with repetitions): per search, kind of table
(where the run names one), size, kind of query and threads, the figure of
the repetitions by the rule of results.py (per_query is each thread's CPU
time). The searches, their forms and kinds come from the run's catalogue, the
kinds of table and query from the benchmarks' names, in the order the run
has them."""
import os
import re

from . import catalogue
from .markdown import table
from .results import context_facts, figures, load_caveat, load_text

NAME = re.compile(r"^BM_Query/(?P<search>\w+)(?:/table:(?P<table>\w+))?/locations:(?P<size>\d+)"
                  r"/queries:(?P<queries>\w+)(?P<rest>(?:/\w+:[\w.]+)*)$")
SIZE_NAMES = {1 << k: f"2^{k}" for k in range(31)}


class Run:
    """Every figure of the run: times[(search, table, size, queries, threads)]
    in seconds per query; build, bytes per location and wrong answers by
    (search, table, size) and (search, table, size, queries)."""

    def __init__(self, results):
        self.context, self.catalogue = results.get("context", {}), catalogue.of(results)
        self.queries_per_run = context_facts(results, "query")["queries"]
        self.times, self.build, self.bytes, self.wrong = {}, {}, {}, {}
        tables, kinds = {}, {}
        counters = {c: figures(results, c, 1.0) for c in ("per_query", "build", "bytes_per_location", "wrong")}
        for name, f in counters["per_query"].items():
            m = NAME.match(name)
            if not m or m["search"] not in self.catalogue:
                continue
            threads = int(re.search(r"/threads:(\d+)", m["rest"])[1]) if "/threads:" in m["rest"] else 1
            key = (m["search"], m["table"], int(m["size"]))
            tables.setdefault(m["table"]), kinds.setdefault(m["queries"])
            self.times[key + (m["queries"], threads)] = f
            if name in counters["build"]:
                self.build[key] = counters["build"][name]
            if name in counters["bytes_per_location"]:
                self.bytes[key] = counters["bytes_per_location"][name]
            if name in counters["wrong"]:
                self.wrong[key + (m["queries"],)] = int(counters["wrong"][name])
        self.tables, self.kinds = list(tables), list(kinds)
        self.searches = self.catalogue.ordered({k[0] for k in self.times})
        self.sizes = sorted({k[2] for k in self.times})

    def time(self, search, size, kind, threads=1, table=None):
        return self.times.get((search, table, size, kind, threads))

    def cases(self, table):
        """(size, kind of query) of every case the run timed on one thread."""
        return [(n, k) for n in self.sizes for k in self.kinds
                if any(self.time(s, n, k, 1, table) for s in self.searches)]

    def fastest(self, table, size, kind, keep):
        """(time, search) of the fastest search that keep(Search) accepts."""
        found = [(self.time(s, size, kind, 1, table), s) for s in self.searches
                 if keep(self.catalogue[s]) and self.time(s, size, kind, 1, table) is not None]
        return min(found) if found else (None, None)


def size_name(n):
    return SIZE_NAMES.get(n, str(n))


def plural(count, word):
    return f"{count} {word}" + ("" if count == 1 else "s")


def cases_text(cases):
    """"7 sizes from 2^10 to 2^20, path and uniform queries (14 cases)": the
    sizes and kinds of query of the cases themselves."""
    sizes = sorted({n for n, _ in cases})
    kinds = list(dict.fromkeys(k for _, k in cases))
    named = [size_name(n) for n in sizes]
    listed = f" from {named[0]} to {named[-1]}" if len(sizes) > 2 else ", " + " and ".join(named)
    return (plural(len(sizes), "size") + listed + f", {' and '.join(kinds)} queries "
            f"({plural(len(cases), 'case')})")


def table_name(table):
    """The kind of table as the documents name it: the run's name, or
    "uniform" for the tables of benchmarks that name none."""
    return table or "uniform"


def us(seconds):
    if seconds is None:
        return "–"
    value = seconds * 1e6
    return "%.3g" % value if value < 1000 else "%.0f" % value


def span(values, digits=2):
    """"a to b" of the least and the greatest, or the one value; with that
    many decimals, or three significant digits where digits is None."""
    low, high = (("%.3g" % v) if digits is None else "%.*f" % (digits, v) for v in (min(values), max(values)))
    return low if low == high else f"{low} to {high}"


def counted(names):
    """"A in 11, B in 3" of a list of names, most frequent first."""
    counts = {}
    for n in names:
        counts[n] = counts.get(n, 0) + 1
    return ", ".join(f"{n} in {c}" for n, c in sorted(counts.items(), key=lambda x: -x[1]))


def exact(s):
    return s.exact


def anchors(s):
    return not s.exact


class Comparison:
    """A search against the fastest anchor of each case: its time over the
    anchor's by case, and the cases where it is slower."""

    def __init__(self, run, table, search):
        self.search, self.ratios, self.anchors, self.builds = search, {}, [], []
        for n, k in run.cases(table):
            at, anchor = run.fastest(table, n, k, anchors)
            t = run.time(search, n, k, 1, table)
            if anchor and t:
                self.ratios[(n, k)] = t / at
                self.anchors.append(anchor)
                built = (search, table, n) in run.build and (anchor, table, n) in run.build
                if built and run.build[(search, table, n)] > 0:
                    self.builds.append(run.build[(anchor, table, n)] / run.build[(search, table, n)])

    def slower(self):
        return {case: r for case, r in self.ratios.items() if r > 1}

    def sentence(self):
        slower = self.slower()
        where = "; ".join(f"{r:.1f}× at {n}, {k}" for (n, k), r in sorted(slower.items()))
        built = f"; it builds {span(self.builds, 1)} times faster" if self.builds else ""
        return (f"{self.search} takes {span(self.ratios.values())} times the time per query of the fastest other "
                f"library's index ({counted(self.anchors)} of {len(self.ratios)} cases): faster in "
                f"{len(self.ratios) - len(slower)} of {len(self.ratios)}" + (f", slower {where}" if where else "") +
                built + ".")


def answer(run, table=None):
    """The few sentences that answer the question, each from the figures of
    the tables below."""
    cases = run.cases(table)
    if not cases:
        return ["The run has no cases."]
    first, second = (f.name for f in run.catalogue.program_forms()[:2])
    fastest = [run.fastest(table, n, k, exact)[1] for n, k in cases]
    lines = [f"- The fastest exact search over the {plural(len(cases), 'case')}: "
             f"{counted(filter(None, fastest)) or 'none timed'}."]
    for index in (s.name for s in run.catalogue.find(first, "index") if s.name in run.searches):
        c = Comparison(run, table, index)
        if c.ratios:
            sizes = [run.bytes[(index, table, n)] for n in run.sizes if (index, table, n) in run.bytes]
            lines.append(f"- {c.sentence()}" + (f" It holds {span(sizes, 1)} bytes a location." if sizes else ""))
    ratios = [run.fastest(table, n, k, lambda s, f=second: s.form == f and s.exact)[0] /
              run.fastest(table, n, k, lambda s, f=first: s.form == f and s.exact)[0] for n, k in cases
              if run.fastest(table, n, k, lambda s, f=second: s.form == f and s.exact)[0]]
    if ratios:
        lines.append(f"- {second}'s fastest search takes {span(ratios)} times as long as {first}'s.")
    pruned = {s.name for s in run.catalogue.find(first, "pruned")}
    brute = {s.name for f in run.catalogue.forms for s in run.catalogue.find(f, "brute")}
    scans = [run.fastest(table, n, k, lambda s: s.name in pruned) for n, k in cases]
    brutes = [run.fastest(table, n, k, lambda s: s.name in brute) for n, k in cases]
    pairs = [(a, b) for a, b in zip(scans, brutes) if a[0] and b[0]]
    if pairs:
        lines.append(f"- Without an index, one scan of the table: {first}'s fastest pruned scan "
                     f"({counted(s for (_, s), _ in pairs)} of {len(pairs)}) takes {span([a[0] / b[0] for a, b in pairs])} "
                     f"times as long as the fastest brute force ({counted(s for _, (_, s) in pairs)}).")
    return lines


def index_rows(run, table=None):
    """Each exact index, and the fastest pruned scan of the program's first
    form, against the fastest other library's index of every case."""
    first = run.catalogue.program_forms()[0].name
    indexes = [s.name for f in run.catalogue.forms for s in run.catalogue.find(f, "index") if s.exact]
    pruned = {s.name for s in run.catalogue.find(first, "pruned")}
    cases = run.cases(table)
    scans = [run.fastest(table, n, k, lambda s: s.name in pruned)[1] for n, k in cases]
    rows = []
    for name in [s for s in indexes if s in run.searches] + sorted(set(filter(None, scans)), key=scans.count)[-1:]:
        c = Comparison(run, table, name)
        times = [run.time(name, n, k, 1, table) * 1e6 for n, k in cases if run.time(name, n, k, 1, table)]
        if not times:  # not run on this kind of table
            continue
        sizes = [run.bytes[(name, table, n)] for n in run.sizes if (name, table, n) in run.bytes]
        against = (f"{span(c.ratios.values(), None)} times its time; faster in {len(c.ratios) - len(c.slower())} "
                   f"of {len(c.ratios)}") if c.ratios else "no other index timed"
        rows.append([f"`{name}` ({run.catalogue[name].form})", span(times, None), against,
                     f"{span(c.builds, 1)} times faster" if c.builds else "nothing built",
                     span(sizes, 1) if sizes else str(run.catalogue[name].bytes)])
    return rows


def answer_section(run):
    """Per kind of table, a heading that says its cases, the indexes against
    the fastest other library's index, and the sentences of the answer."""
    out = []
    for t in run.tables:
        cases = run.cases(t)
        if not cases:
            continue
        anchors_of = [run.fastest(t, n, k, anchors)[1] for n, k in cases]
        out += [f"### {table_name(t).capitalize()} tables: {cases_text(cases)}", ""]
        if any(anchors_of):
            out += [f"The fastest other library's index of each case: {counted(filter(None, anchors_of))}.", ""]
        rows = index_rows(run, t)
        if rows:
            out += table_lines(["search (form)", "µs per query", "against the fastest other index", "build",
                                "bytes per location"], rows, "lrlll") + [""]
        out += answer(run, t) + [""]
    return out


def time_table(run, threads, table=None):
    """Rows of searches, columns of the sizes run with that many threads."""
    sizes = [n for n in run.sizes if any(run.time(s, n, k, threads, table) for s in run.searches for k in run.kinds)]
    rows = []
    for s in run.searches:
        cells = [" / ".join(us(run.time(s, n, k, threads, table)) for k in run.kinds) for n in sizes]
        if any(c.strip("– /") for c in cells):
            rows.append([s, run.catalogue[s].form, run.catalogue[s].kind] + cells)
    return table_lines(["search", "form", "kind"] + [str(n) for n in sizes], rows, "lll" + "r" * len(sizes))


def table_lines(header, rows, align):
    return table(header, rows, align).split("\n")


def build_table(run, table=None):
    rows = []
    for s in run.searches:
        for n in run.sizes:
            if (s, table, n) in run.build:
                wrong = " / ".join(str(run.wrong.get((s, table, n, k), "–")) for k in run.kinds)
                size = run.bytes.get((s, table, n))
                rows.append([s, n, "%.3g" % (run.build[(s, table, n)] * 1e3), "–" if size is None else "%.1f" % size,
                             wrong if not run.catalogue[s].exact else "exact"])
    return table_lines(["search", "size", "build (ms)", "bytes per location",
                        f"wrong, {' / '.join(run.kinds)} (of {run.queries_per_run})"], rows, "lrrrr")


def table_sections(run):
    """The tables of each kind of table the run has."""
    out = []
    for t in run.tables:
        on = f" ({t} tables)" if t else ""
        kinds = " / ".join(run.kinds)
        out += ["", f"## Time per query, one thread{on} (µs, {kinds})", ""] + time_table(run, 1, t)
        out += ["", f"## Time per query, two threads with the queries split{on} (µs, {kinds})", ""]
        out += time_table(run, 2, t)
        out += ["", f"## Build time and memory of the indexes and the anchors{on}", "",
                "Build: the least of up to three builds. Bytes: all the structure holds over the table's",
                f"count (an anchor's copy of the points included). Wrong: of the {run.queries_per_run} queries, how "
                "many the", "anchor answers with another location than the exact brute force over the same pairs.",
                ""] + build_table(run, t)
    return out


def saved_account(docs_dir):
    """The account of where the indexes' time goes, written by hand beside
    the document (docs/search_account.md, from benchmarks/search_account.sh);
    None where there is none."""
    path = os.path.join(docs_dir, "search_account.md")
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        return f.read()


def document(run, python_run=None, account=None):
    ctx = run.context
    about = "%s, %s, %s; %s." % (ctx.get("date", "?"), ctx.get("cpu", ctx.get("host_name", "?")),
                                 ctx.get("compiler", "?"), load_text(ctx))
    about += (" " + load_caveat(ctx)) if load_caveat(ctx) else ""
    lines = [
        "# Searching as people search",
        "",
        "Every search of the catalogue (`src/catalogue/search_catalogue.h`) asked one query at a time by",
        "`BM_Query` (`benchmarks/query_benchmarks.cpp`) over %s tables, each kind at the sizes its" % (
            ", ".join(table_name(t) for t in run.tables)),
        "section names: the brute forces, the scans that skip what cannot win, the indexes, and the",
        "anchors, other libraries' indexes over the same decoded pairs. Each kind of query (%s) is %d" % (
            ", ".join(run.kinds), run.queries_per_run),
        "points. Times are microseconds per query, the least of the repetitions of each, in each thread's",
        "CPU time (the machine is shared). A case is one size and one kind of query. Remade by",
        "`tools/make_docs.sh --search`.",
        "",
        "Run: " + about,
        "",
        "![time per query against table size](search.png)",
        "",
        "## The answer",
        "",
        "Per kind of table, microseconds per query, one query at a time: the indexes, and the fastest scan",
        "that skips what cannot win, each exact (the brute force's answer bit for bit), set against the",
        "fastest other library's index of each case, with the time to build and the bytes held.",
        "",
    ] + answer_section(run) + (["", account.rstrip("\n")] if account else []) + table_sections(run)[1:] + \
        python_section(python_run)
    return "\n".join(lines) + "\n"


def python_section(python_run):
    """The Python module beside scipy's and scikit-learn's trees, from a run
    of benchmarks/python_search.py --json; nothing without one."""
    if not python_run:
        return []
    c = python_run["context"]
    # Runs that ask more than the nearest name the question of each row.
    asks = any("question" in r for r in python_run["rows"])
    rows = [[r["table"], r["search"]] + ([r.get("question", "nearest")] if asks else []) +
            ["-" if r["build_ms"] is None else "%.2f" % r["build_ms"], "%.2f" % r["query_us"],
             "%d/%d" % (r["same"], r["queries"])] for r in python_run["rows"]]
    header = ["table", "search"] + (["question"] if asks else []) + ["build (ms)", "query (µs a point)", "same winner"]
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
    ] + (["Where the question is another, the queries answered with the same locations as the exact answer, in",
          "any order; within a distance is asked of the first queries only (as many as the last column says)."]
         if asks else []) + [
        "",
    ] + table_lines(header, rows, "ll" + ("l" if asks else "") + "rrr")
