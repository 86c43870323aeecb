"""The one reader of results: the benchmark suite's JSON (--benchmark_out)
and the program's records (spherebench --repeat N --json FILE).

A suite figure is the least of the repetitions where the run has it (the
suite's "min" statistic, or every repetition kept), else the median, else the
single run: on a shared machine the least time is the loop's own cost. A
figure whose repetitions vary by more than NOISY_CV (coefficient of
variation) is marked noisy.
"""
import json
import statistics

# Repetitions that vary by more than this (coefficient of variation) are noisy.
NOISY_CV = 0.05

# Benchmarks renamed since some saved runs were made: the old name's part
# that changed -> the new one. A saved run is read under the new names.
RENAMED = {
    "BM_ScaleOne/CdcVector/": "BM_ScaleOne/CdcBruteVector/",
    "BM_ScaleOne/CdcPass/": "BM_ScaleOne/CdcBrute/",
    "BM_ScaleOne/LatLongPass/": "BM_ScaleOne/LatLongBrute/",
    "BM_ScaleOne/LatLongVector/": "BM_ScaleOne/LatLongBruteVector/",
    "BM_ScaleOne/S2CellIdPass/": "BM_ScaleOne/S2CellIdBrute/",
    "BM_ScaleOne/S2PointVector/": "BM_ScaleOne/S2PointBruteVector/",
    "BM_ScaleOne/FloatVector/": "BM_ScaleOne/FloatBruteVector/",
}
RENAMED.update({old.replace("One", "Batch"): new.replace("One", "Batch") for old, new in list(RENAMED.items())})
RENAMED.update({
    "BM_CdcPass/": "BM_CdcBrute/",
    "BM_LatLongPass/": "BM_LatLongBrute/",
    "BM_CdcVectorPass/": "BM_CdcBruteVector/",
    "BM_CdcVectorPassOn/": "BM_CdcBruteVectorOn/",
    "BM_LatLongVectorPass/": "BM_LatLongBruteVector/",
    "BM_S2CellIdPass/": "BM_S2CellIdBrute/",
})


class ResultsError(Exception):
    """Results that cannot give what was asked of them."""


def current_name(name):
    """A benchmark's name as the suite names it now."""
    for old, new in RENAMED.items():
        if name.startswith(old):
            return new + name[len(old):]
    return name


def load(path):
    """A suite run, its benchmarks under their current names; "renamed_from"
    lists the old names' parts it held."""
    with open(path) as f:
        results = json.load(f)
    renamed = set()
    for b in results.get("benchmarks", []):
        for key in ("name", "run_name"):
            if key in b:
                renamed.update(old for old in RENAMED if b[key].startswith(old))
                b[key] = current_name(b[key])
    results["renamed_from"] = sorted(renamed)
    return results


class Figure(float):
    """ns per test, with how it was taken ("min", "median", "run") and whether
    its repetitions varied by more than NOISY_CV."""

    def __new__(cls, ns, kind="run", noisy=False):
        f = super().__new__(cls, ns)
        f.kind, f.noisy = kind, noisy
        return f


def least_ns(results):
    """{benchmark name: Figure}, minima where the run has them."""
    by_name = {}
    for b in results["benchmarks"]:
        entry = by_name.setdefault(b.get("run_name", b["name"]), {"runs": []})
        aggregate = b.get("aggregate_name")
        if aggregate:
            entry[aggregate] = b["per_test"]
        elif b.get("run_type", "iteration") == "iteration" and not b.get("error_occurred"):
            entry["runs"].append(b["per_test"])
    chosen = {}
    for name, e in by_name.items():
        runs = e["runs"]
        cv = e.get("cv")
        if cv is None and len(runs) > 1:
            cv = statistics.stdev(runs) / statistics.mean(runs)
        noisy = cv is not None and cv > NOISY_CV
        if "min" in e or len(runs) > 1:
            chosen[name] = Figure(e.get("min", min(runs or [0])) * 1e9, "min", noisy)
        elif "median" in e:
            chosen[name] = Figure(e["median"] * 1e9, "median", noisy)
        elif runs:
            chosen[name] = Figure(runs[0] * 1e9)
    return chosen


def medians_ns(results):
    """{benchmark name: median ns per test}; the run must have medians."""
    medians = {b.get("run_name", b["name"]): b["per_test"] * 1e9
               for b in results["benchmarks"] if b.get("aggregate_name") == "median"}
    if not medians:
        raise ResultsError("holds no medians: run the suite with --benchmark_repetitions")
    return medians


def widest_spread(results):
    """The largest coefficient of variation of any benchmark's repetitions."""
    return max((b["per_test"] for b in results["benchmarks"]
                if b.get("aggregate_name") == "cv" and "per_test" in b), default=0.0)


def repetitions(results):
    return max((b.get("repetitions", 1) for b in results["benchmarks"]), default=1)


def run_date(results):
    return results["context"]["date"][:10]


def about(results):
    """"least of 5 runs; run of 2026-12-07, vector target AVX3"."""
    c = results["context"]
    reps = repetitions(results)
    least = any(b.get("aggregate_name") == "min" for b in results["benchmarks"])
    taken = ("least" if least else "median") + " of %d runs" % reps if reps > 1 else "single runs"
    target = ", vector target " + c["vector_target"] if "vector_target" in c else ""
    return "%s; run of %s%s" % (taken, run_date(results), target)


def cache_bytes(results, level, kind):
    """A cache's size from the run's context ("caches", as the suite records
    the machine it ran on), by level and type ("Data", "Unified")."""
    for cache in results["context"].get("caches", []):
        if cache.get("level") == level and cache.get("type") == kind:
            return cache["size"]
    raise ResultsError("records no level %d %s cache" % (level, kind))


def runs_only(results, pairs):
    """The results with the repetitions alone (their aggregates dropped) and
    each "KEY=VALUE" of pairs in the context."""
    for pair in pairs:
        key, _, value = pair.partition("=")
        results["context"][key] = value
    results["benchmarks"] = [b for b in results["benchmarks"] if b.get("run_type") != "aggregate"]
    return results


class ProgramRuns:
    """One `spherebench --repeat N --json` record: the clock ticks of every
    run of each pass ("cdc", "latlong"), the least of them (the run least
    disturbed), the nanoseconds per test that makes, and whether the runs
    varied by more than NOISY_CV."""

    def __init__(self, record, label=""):
        for key in ("runs", "tests"):
            if key not in record:
                raise ResultsError("not a record of spherebench --json: no %s" % key)
        if not record["runs"]:
            raise ResultsError("the record holds no runs")
        self.record, self.label = record, label
        self.ticks = {m: [r[m + "_ticks"] for r in record["runs"]] for m in ("cdc", "latlong")}

    @property
    def tests(self):
        return self.record["tests"]

    def least(self, method):
        """The least clock ticks (milliseconds) of the method's runs."""
        return min(self.ticks[method])

    def ns_per_test(self, method):
        return Figure(self.least(method) * 1e6 / self.tests, "min", self.noisy(method))

    def noisy(self, method):
        ticks = self.ticks[method]
        mean = statistics.mean(ticks)
        return len(ticks) > 1 and mean > 0 and statistics.stdev(ticks) / mean > NOISY_CV

    def ratio(self):
        """Lat/long over direction cosines, of the least ticks of each."""
        cdc = self.least("cdc")
        return self.least("latlong") / cdc if cdc else float("inf")


def load_program_runs(path, label=""):
    with open(path) as f:
        return ProgramRuns(json.load(f), label)
