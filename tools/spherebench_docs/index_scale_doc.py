"""The indexes' part of docs/SCALE.md, and the data of docs/index_scale.png,
from one run of the index-scale program (benchmarks/index_scale.cpp) saved
as JSON lines in docs/index_scale.jsonl: its first line the machine and the
load as the run began, its last the load as it ended, between them each
anchor's bytes a location and each index's figures at each size."""
import json

from .markdown import short, table
from .results import ResultsError

GIB = 2.0**30
BILLION = 1 << 30


class Run:
    def __init__(self, lines):
        self.context, self.anchors, self.rows, self.load_at_end = {}, [], [], None
        for record in lines:
            if "cpu" in record:
                self.context = record
            elif "anchor" in record:
                self.anchors.append(record)
            elif "search" in record:
                self.rows.append(record)
            elif "load_at_end" in record:
                self.load_at_end = record["load_at_end"]
        if not self.rows:
            raise ResultsError("the index-scale run holds no index")
        self.searches = list(dict.fromkeys(r["search"] for r in self.rows))
        self.sizes = sorted({r["size"] for r in self.rows})
        self.largest = self.sizes[-1]

    def row(self, search, size):
        return next((r for r in self.rows if r["search"] == search and r["size"] == size), None)


def load(path):
    with open(path) as f:
        return Run([json.loads(line) for line in f if line.strip()])


def size_name(n):
    k = n.bit_length() - 1
    return f"2^{k}" if n == 1 << k else str(n)


def seconds(ms):
    return short(ms / 1000) if ms >= 0 else "–"


def speedup(row):
    return f"{row['build_ms_one_thread'] / row['build_ms']:.2f}" if row["build_ms_one_thread"] > 0 else "–"


def build_table(run):
    head = ["search", "locations", "bytes a location", f"build, {run.context.get('cores', '?')} threads (s)",
            "build, 1 thread (s)", "speed-up", "peak resident (GiB)", "save (s)"]
    rows = [[r["search"], size_name(r["size"]), f"{r['bytes_per_location']:.2f}", seconds(r["build_ms"]),
             seconds(r["build_ms_one_thread"]), speedup(r), f"{r['peak_resident_bytes'] / GIB:.2f}",
             seconds(r["save_ms"])] for s in run.searches for n in run.sizes for r in [run.row(s, n)] if r]
    return table(head, rows)


def open_table(run):
    head = ["search", "locations", "open, cold (ms)", "open, cached (ms)", "first query, cold (ms)", "resident after it (MiB)",
            "open, whole file checked (s)", "near (µs)", "uniform (µs)", "opened: near (µs)", "opened: uniform (µs)"]
    rows = [[r["search"], size_name(r["size"]), f"{r['open_ms']:.1f}", f"{r['open_warm_ms']:.2f}",
             f"{r['first_query_ms']:.1f}",
             f"{r['resident_after_first_query'] / 2**20:.1f}", seconds(r["open_whole_ms"]),
             short(r["query_ns_near"] / 1000), short(r["query_ns_uniform"] / 1000),
             short(r["opened_query_ns_near"] / 1000), short(r["opened_query_ns_uniform"] / 1000)]
            for s in run.searches for n in run.sizes for r in [run.row(s, n)] if r]
    return table(head, rows)


def fit_table(run):
    memory = run.context.get("memory_bytes", 0)
    head = ["index", "bytes a location", "2^30 locations (GiB)", f"fits {memory / GIB:.0f} GiB"]
    largest = {s: max(r["size"] for r in run.rows if r["search"] == s) for s in run.searches}
    entries = [(s, run.row(s, n)["bytes_per_location"], f"measured at {size_name(n)}") for s, n in largest.items()]
    entries += [(a["anchor"], a["bytes_per_location"], f"measured at {size_name(a['size'])}") for a in run.anchors]
    rows = [[f"{name} ({where})", f"{b:.2f}", f"{b * BILLION / GIB:.1f}", "yes" if b * BILLION < memory else "no"]
            for name, b, where in entries]
    return table(head, rows)


def section(run):
    """The part of docs/SCALE.md on the indexes."""
    c = run.context
    at_24 = [run.row(s, 1 << 24) for s in run.searches if run.row(s, 1 << 24)]
    opens = "; ".join(f"{r['search']} {r['open_ms']:.1f} ms, its first query {r['first_query_ms']:.1f} ms "
                      f"with {r['resident_after_first_query'] / 2**20:.1f} MiB of the file read" for r in at_24)
    return f"""
## The indexes up to {size_name(run.largest)} locations

Made from `docs/index_scale.jsonl`, one run of `index-scale` (`benchmarks/index_scale.cpp`; `tools/make_docs.sh
--index-scale` makes a new run, up to `SCALE_MAX` locations). CdcIndex and LatLongIndex over the same uniform
random locations at each size: the build on every core and (up to 2^26) on one, the index saved, the file's pages
dropped from the page cache, then opened with the header's checks alone (the file mapped, nothing read but a few
pages) and asked one query; opened again with every check (the whole file read once); and the time per query,
least of 3 runs of 20000, near a stored location (within about a kilometre) and uniform, on the index as built and
as opened. Machine: {c.get('cpu', '?')}, {c.get('cores', '?')} cores, {c.get('memory_bytes', 0) / GIB:.1f} GiB;
one-minute load {c.get('load_at_start', '?')} as the run began, {run.load_at_end or '?'} as it ended.

![build and query time against locations](index_scale.png)

{"Opened cold at 2^24: " + opens + "." if opens else ""}

{build_table(run)}

{open_table(run)}

What each index would take for 2^30 locations, from its bytes a location (the anchors build over the locations
decoded to three doubles, or floats for FaissFlat, which searches every location for every query):

{fit_table(run)}
"""


def plot_data(run):
    """Blocks for tools/plot_index_scale.gp, one a search: locations, build
    seconds on every core, then µs a query near and uniform, built and
    opened."""
    blocks = []
    for s in run.searches:
        lines = [f"# {s}: locations build_s near uniform opened_near opened_uniform"]
        for n in run.sizes:
            r = run.row(s, n)
            if r:
                lines.append(f"{n} {r['build_ms'] / 1000:.4f} {r['query_ns_near'] / 1000:.4f} "
                             f"{r['query_ns_uniform'] / 1000:.4f} {r['opened_query_ns_near'] / 1000:.4f} "
                             f"{r['opened_query_ns_uniform'] / 1000:.4f}")
        blocks.append("\n".join(lines))
    return "\n\n\n".join(blocks) + "\n"
