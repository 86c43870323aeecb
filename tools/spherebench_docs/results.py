"""The one reader of saved results, and the one rule that makes a figure of
repeated runs.

Every JSON file the documents are made from goes through load(): the suite's
Google Benchmark output (--benchmark_out), the program's records
(`spherebench --repeat N --json`), the measures of accuracy-report and
representations-report, and benchmarks/python_search.py's rows. The suite
writes some context entries as JSON text (the catalogue, its tables); load()
reads them as JSON too.

The rule: a figure of repeated runs is the least of them (on a shared machine
the least time is the loop's own cost, the others add what the machine's
other work took from it), where the run kept the repetitions or their
minimum; else their median as the run gives it; else the single run. A median
taken here is the lower middle, as the program's (base/median.h). A figure
whose repetitions vary by more than NOISY_CV (coefficient of variation) is
marked noisy.
"""
import json
import statistics

# Repetitions that vary by more than this (coefficient of variation) are noisy.
NOISY_CV = 0.05
# The benchmark names, context entries and kinds of search the documents
# asked of the runs they read, for a test to hold them to what today's suite
# registers and writes.
ASKED = {"benchmarks": set(), "context": set(), "kinds": set()}


class ResultsError(Exception):
    """Results that cannot give what was asked of them."""


def _json_text(value):
    """A context entry written as JSON text, read; any other value as it is."""
    if isinstance(value, str) and value[:1] in ("{", "["):
        try:
            return json.loads(value)
        except ValueError:
            return value
    return value


def load(path):
    """The JSON file, with the context entries that hold JSON text read."""
    with open(path) as f:
        results = json.load(f)
    if isinstance(results, dict) and isinstance(results.get("context"), dict):
        results["context"] = {k: _json_text(v) for k, v in results["context"].items()}
    return results


def median(values):
    """The lower middle of the values, as the program takes a median."""
    ordered = sorted(values)
    return ordered[(len(ordered) - 1) // 2]


class Figure(float):
    """A figure with how it was taken ("min", "median", "run") and whether its
    repetitions varied by more than NOISY_CV."""

    def __new__(cls, value, kind="run", noisy=False):
        f = super().__new__(cls, value)
        f.kind, f.noisy = kind, noisy
        return f


def figure_of(runs, aggregates=None, scale=1.0):
    """The rule: runs are the repetitions' values, aggregates what the run
    reported of them ({"min": .., "median": .., "cv": ..}); None where there is
    neither."""
    aggregates = aggregates or {}
    cv = aggregates.get("cv")
    if cv is None and len(runs) > 1 and statistics.mean(runs) > 0:
        cv = statistics.stdev(runs) / statistics.mean(runs)
    noisy = cv is not None and cv > NOISY_CV
    if "min" in aggregates or len(runs) > 1:
        least = min(runs + ([aggregates["min"]] if "min" in aggregates else []))
        return Figure(least * scale, "min", noisy)
    if "median" in aggregates:
        return Figure(aggregates["median"] * scale, "median", noisy)
    return Figure(runs[0] * scale) if runs else None


def by_benchmark(results, counter):
    """{run name: (repetitions' values, {aggregate: value})} of a counter."""
    out = {}
    for b in results["benchmarks"]:
        if counter not in b:
            continue
        runs, aggregates = out.setdefault(b.get("run_name", b["name"]), ([], {}))
        if b.get("aggregate_name"):
            aggregates[b["aggregate_name"]] = b[counter]
        elif b.get("run_type", "iteration") == "iteration" and not b.get("error_occurred"):
            runs.append(b[counter])
    return out


class Figures(dict):
    """{benchmark name: Figure}, noting in ASKED every name looked up."""

    def __getitem__(self, name):
        ASKED["benchmarks"].add(name)
        return super().__getitem__(name)

    def get(self, name, default=None):
        ASKED["benchmarks"].add(name)
        return super().get(name, default)


def figures(results, counter="per_test", scale=1e9):
    """{benchmark name: Figure} of a counter (by default ns per test)."""
    chosen = Figures()
    for name, (runs, aggregates) in by_benchmark(results, counter).items():
        f = figure_of(runs, aggregates, scale)
        if f is not None:
            chosen[name] = f
    return chosen


def taken(ns):
    """How the rule took the figures: "least" where it could for any of
    them, else "median", else "single run"."""
    kinds = {getattr(f, "kind", "run") for f in ns.values()}
    return {"min": "least", "median": "median", "run": "single run"}[min(kinds, key=["min", "median", "run"].index)]


def widest_cv(results):
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
    how = "%s of %d runs" % (taken(figures(results)), reps) if reps > 1 else "single runs"
    target = ", vector target " + c["vector_target"] if "vector_target" in c else ""
    return "%s; run of %s%s" % (how, run_date(results), target)


def context_facts(results, key):
    """A context entry the suite writes as JSON (its catalogue, its tables);
    a run made before the suite wrote it cannot give it."""
    ASKED["context"].add(key)
    value = results.get("context", {}).get(key)
    if not isinstance(value, (dict, list)):
        raise ResultsError("the run's context holds no %s: make it again with today's suite" % key)
    return value


def cache_bytes(results, level, kind):
    """A cache's size from the run's context ("caches", as the suite records
    the machine it ran on), by level and type ("Data", "Unified")."""
    for cache in results["context"].get("caches", []):
        if cache.get("level") == level and cache.get("type") == kind:
            return cache["size"]
    raise ResultsError("records no level %d %s cache" % (level, kind))


def with_context(results, pairs, runs_only=False):
    """The results with each "KEY=VALUE" of pairs in the context and, where
    runs_only, the repetitions alone (their aggregates dropped)."""
    for pair in pairs:
        key, _, value = pair.partition("=")
        results["context"][key] = value
    if runs_only:
        results["benchmarks"] = [b for b in results["benchmarks"] if b.get("run_type") != "aggregate"]
    return results


# Above this load a core, other work shared the machine with a run and took
# its share of the caches, the memory and the cores' time from the figures.
BUSY_PER_CORE = 0.5


def loads(context):
    """(start, end): the one-minute load averages of a run, None where it
    recorded none. The start is the harness's own reading as the run began
    (load_avg), the end the one tools/make_docs.sh adds after it (load_at_end;
    load_after in runs saved before), which counts the run's own threads."""
    start, end = context.get("load_avg") or [], context.get("load_at_end", context.get("load_after"))
    return (float(start[0]) if start else None), (float(str(end).split()[0]) if end else None)


def load_text(context):
    """"load 0.21 at the start, 1.03 at the end", saying which is not recorded."""
    start, end = loads(context)
    if start is None and end is None:
        return "load not recorded"
    return "load %s at the start, %s at the end" % tuple("not recorded" if x is None else "%.2f" % x
                                                         for x in (start, end))


def busy(load, cores, what):
    """Why a load on that many cores shows other work, or None."""
    if load / cores <= BUSY_PER_CORE:
        return None
    return (f"the machine is busy: {what} {load:.2f} on {cores} cores, more than {BUSY_PER_CORE} a core; "
            "other work would be timed with the benchmarks")


def other_work(context):
    """Why a run's context shows other work on the machine, or None: the load
    as it began, or other_load, the CPU time every other program took during
    it over its wall-clock time (the run's own threads left out, which the
    load at the end counts)."""
    start, cores = loads(context)[0], int(context["num_cpus"])
    if start is None or "other_load" not in context:
        return "the run recorded no load as it began or no other_load, the other programs' work during it"
    return (busy(start, cores, "the load as the run began was") or
            busy(float(context["other_load"]), cores, "other programs' work during the run came to"))


class ProgramRuns:
    """One `spherebench --repeat N --json` record: the clock ticks of every
    run of each pass (the record's "searches" name the passes: "cdc" runs
    CdcBrute, and so on), and the figure of them by the rule."""

    def __init__(self, record, label=""):
        for key in ("runs", "tests", "searches"):
            if key not in record:
                raise ResultsError("not a record of spherebench --json: no %s" % key)
        if not record["runs"]:
            raise ResultsError("the record holds no runs")
        self.record, self.label = record, label
        self.passes = list(record["searches"])  # in the order the program runs them
        self.ticks = {p: [r[p + "_ticks"] for r in record["runs"]] for p in self.passes}

    @property
    def tests(self):
        return self.record["tests"]

    def search(self, method):
        return self.record["searches"][method]

    def least(self, method):
        """The least clock ticks (milliseconds) of the method's runs."""
        return min(self.ticks[method])

    def ns_per_test(self, method):
        """ns per test of the method's runs, by the rule."""
        return figure_of([t * 1e6 / self.tests for t in self.ticks[method]])

    def ratio(self):
        """The second pass over the first, of the least ticks of each."""
        first, second = (self.least(p) for p in self.passes[:2])
        return second / first if first else float("inf")


def load_program_runs(path, label=""):
    return ProgramRuns(load(path), label)


def load_caveat(context):
    """A sentence for a saved run the gate would refuse, else "": runs saved
    before tools/make_docs.sh checked them keep their figures, said for what
    they are."""
    if other_work(context) is None:
        return ""
    start, cores = loads(context)[0], context.get("num_cpus")
    busy_start = start is not None and cores and start / cores > BUSY_PER_CORE
    return ("Saved before tools/make_docs.sh checked runs for other work on the machine" +
            (f"; its load as it began, more than {BUSY_PER_CORE} a core, says other work shared the machine."
             if busy_start else "."))
