"""Made-up runs for the tests of tools/spherebench_docs: a catalogue whose
searches and forms have names no C++ source uses, so that a document that
renders them takes every name from the run, none from its own code."""
import json
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))

FORMS = [("Pair", 8, True), ("Fixed", 8, True), ("Cell", 8, False), ("Big", 24, False), ("Float", 12, False)]
# name: (form, kind, vector, exact)
SEARCHES = {
    "PairScan": ("Pair", "brute", False, True), "PairLanes": ("Pair", "brute", True, True),
    "PairSkip": ("Pair", "pruned", True, True), "PairTree": ("Pair", "index", False, True),
    "FixedScan": ("Fixed", "brute", False, True), "FixedLanes": ("Fixed", "brute", True, True),
    "FixedTree": ("Fixed", "index", False, True), "CellScan": ("Cell", "brute", False, True),
    "BigLanes": ("Big", "brute", True, True), "BigTree": ("Big", "index", False, True),
    "FloatLanes": ("Float", "brute", True, True), "Borrowed": ("Big", "anchor", False, False),
    "Lent": ("Float", "anchor", False, False),
}
CATALOGUE = {"forms": [{"name": n, "bytes": b, "program": p} for n, b, p in FORMS],
             "searches": [{"name": n, "benchmark": "BM_" + n, "form": f, "kind": k, "vector": v, "exact": e,
                           "entry": n.lower() + " (x/y.h)"} for n, (f, k, v, e) in SEARCHES.items()]}
FLOORS = {"Pair": [{"benchmark": "BM_PairFloorA", "arrangement": "arrangement a"},
                   {"benchmark": "BM_PairFloorB", "arrangement": "arrangement b"}],
          "Fixed": [{"benchmark": "BM_FixedFloor"}]}
PORTS = {"Pair": "BM_PairPort"}


def context(machine="m", **more):
    """A run's context as results.load gives it, the suite's facts included."""
    c = {"date": "2026-12-07T12:00:00+00:00", "num_cpus": 2, "mhz_per_cpu": 2600, "load_avg": [1.5, 1, 1],
         "machine": machine, "vector_target": "AVX2", "catalogue": CATALOGUE, "floors": FLOORS, "ports": PORTS,
         "suite_tables": {"airport_counts": [1000, 14000], "points": 1000}, "scale": {"batch": 1000, "tile_bytes": 1 << 18},
         "query": {"queries": 1000},
         "caches": [{"level": 1, "type": "Data", "size": 1 << 15}, {"level": 2, "type": "Unified", "size": 1 << 19},
                    {"level": 3, "type": "Unified", "size": 1 << 25}]}
    c.update(more)
    return c


def as_saved(context_):
    """The context as the suite writes it: its facts as JSON text."""
    return {k: json.dumps(v) if isinstance(v, dict) else v for k, v in context_.items()}


def aggregate(name, kind, value, counter="per_test"):
    return {"name": f"{name}_{kind}", "run_name": name, "run_type": "aggregate", "repetitions": 3,
            "aggregate_name": kind, counter: value}


def iteration(name, value, counter="per_test", **more):
    return dict(name=name, run_name=name, run_type="iteration", repetitions=3, **{counter: value}, **more)
