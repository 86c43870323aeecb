#!/usr/bin/env python3
"""tools/spherebench_docs/results.py, the one reader of results: the suite's
JSON written the way no line scraper could read it (the whole file on one
line, keys in no particular order), and the program's --json records.

    python3 tests/docs_results_test.py
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools")
sys.path.insert(0, TOOLS)
from spherebench_docs import results  # noqa: E402


def aggregate(run_name, kind, per_test, repetitions=3):
    # Keys deliberately out of Google Benchmark's order.
    return {"per_test": per_test, "aggregate_name": kind, "repetitions": repetitions, "run_type": "aggregate",
            "run_name": run_name, "name": "%s_%s" % (run_name, kind)}


def iteration(name, per_test):
    return {"per_test": per_test, "run_name": name, "name": name, "run_type": "iteration"}


SAMPLE = {
    "benchmarks": [
        {"per_test": 9e-9, "name": "BM_CdcBrute/airports:14000", "run_name": "BM_CdcBrute/airports:14000",
         "run_type": "iteration", "repetitions": 3},
        aggregate("BM_CdcBrute/airports:14000", "mean", 3.5e-9),
        aggregate("BM_CdcBrute/airports:14000", "median", 3.4253e-09),
        aggregate("BM_CdcBrute/airports:14000", "cv", 0.012),
        aggregate("BM_LatLongBrute/airports:14000", "median", 0.1 + 0.2),
        aggregate("BM_LatLongBrute/airports:14000", "cv", 0.031),
    ],
    "context": {"load_avg": [0.836914, 0.913574, 1.24072], "num_cpus": 2, "date": "2026-12-07T10:02:11+00:00",
                "caches": [{"type": "Data", "level": 1, "size": 32768}, {"type": "Unified", "level": 2, "size": 1 << 20}],
                "vector_target": "AVX3"},
}


def saved(folder, data, name="results.json"):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write(json.dumps(data, indent=None))  # one line
    return path


class SuiteRuns(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.path = saved(self.folder.name, SAMPLE)
        self.results = results.load(self.path)

    def test_medians_per_test_in_nanoseconds(self):
        self.assertEqual(results.least_ns(self.results), {"BM_CdcBrute/airports:14000": 3.4253e-09 * 1e9,
                                                          "BM_LatLongBrute/airports:14000": (0.1 + 0.2) * 1e9})
        self.assertEqual(results.medians_ns(self.results)["BM_CdcBrute/airports:14000"], 3.4253e-09 * 1e9)
        self.assertEqual((results.widest_spread(self.results), results.repetitions(self.results)), (0.031, 3))

    def test_single_runs_without_repetitions(self):
        single = {"benchmarks": [b for b in SAMPLE["benchmarks"] if b["run_type"] == "iteration"]}
        self.assertEqual(results.least_ns(single), {"BM_CdcBrute/airports:14000": 9.0})
        with self.assertRaises(results.ResultsError):
            results.medians_ns(single)

    def test_least_of_the_repetitions_and_the_noisy_ones(self):
        least = results.least_ns({"benchmarks": [iteration("BM_X", x) for x in (5e-9, 4e-9, 6e-9)]})["BM_X"]
        self.assertEqual((least, least.kind, least.noisy), (4.0, "min", True))  # cv 0.2
        for cv, noisy in ((0.049, False), (0.05, False), (0.0501, True)):
            least = results.least_ns({"benchmarks": [aggregate("BM_X", "min", 2e-9), aggregate("BM_X", "median", 3e-9),
                                                     aggregate("BM_X", "cv", cv)]})["BM_X"]
            self.assertEqual((least, least.kind, least.noisy), (2.0, "min", noisy), cv)

    def test_renamed_benchmarks_are_read_under_their_new_names(self):
        old = {"benchmarks": [iteration("BM_ScaleOne/CdcVector/locations:1024/threads:1", 1e-9),
                              iteration("BM_ScaleBatch/S2CellIdPass/locations:1024/threads:2", 1e-9),
                              iteration("BM_CdcVectorPass/airports:1000", 1e-9)]}
        run = results.load(saved(self.folder.name, old))
        self.assertEqual(run["renamed_from"], ["BM_CdcVectorPass/", "BM_ScaleBatch/S2CellIdPass/", "BM_ScaleOne/CdcVector/"])
        self.assertEqual(self.results["renamed_from"], [])
        names = set(results.least_ns(run))
        self.assertEqual(names, {"BM_ScaleOne/CdcBruteVector/locations:1024/threads:1",
                                 "BM_ScaleBatch/S2CellIdBrute/locations:1024/threads:2",
                                 "BM_CdcBruteVector/airports:1000"})

    def test_context_caches_date_and_runs_only(self):
        self.assertEqual(results.cache_bytes(self.results, 2, "Unified"), 1 << 20)
        with self.assertRaises(results.ResultsError):
            results.cache_bytes(self.results, 3, "Unified")
        self.assertEqual(results.about(self.results), "median of 3 runs; run of 2026-12-07, vector target AVX3")
        trimmed = results.runs_only(self.results, ["load_after=1.0 2.0 3.0"])
        self.assertEqual([b["run_type"] for b in trimmed["benchmarks"]], ["iteration"])
        self.assertEqual(trimmed["context"]["load_after"], "1.0 2.0 3.0")

    def test_command_line(self):
        def run(*args):
            return subprocess.run([sys.executable, os.path.join(TOOLS, "spherebench_docs")] + list(args),
                                  capture_output=True, text=True)
        self.assertEqual(run("context", self.path, "num_cpus").stdout, "2\n")
        refused = run("context", self.path, "no_such_key")
        self.assertEqual((refused.returncode, refused.stdout), (1, ""))
        self.assertIn("no_such_key", refused.stderr)
        self.assertIn("performance DOC.md", run("no-such-command").stderr)


class ProgramRecords(unittest.TestCase):
    def record(self, cdc, latlong):
        return results.ProgramRuns({"tests": 14000000, "airports": 14000, "points": 1000,
                                    "runs": [{"cdc_ticks": c, "latlong_ticks": ll} for c, ll in zip(cdc, latlong)]})

    def test_least_ticks_and_ns_per_test(self):
        runs = self.record([50, 49, 70], [411, 420, 412])
        self.assertEqual((runs.least("cdc"), runs.least("latlong")), (49, 411))
        self.assertAlmostEqual(runs.ns_per_test("cdc"), 3.5)
        self.assertAlmostEqual(runs.ratio(), 411 / 49)
        self.assertTrue(runs.ns_per_test("cdc").noisy)  # 49 to 70
        self.assertFalse(runs.ns_per_test("latlong").noisy)

    def test_a_record_without_runs_is_refused(self):
        with self.assertRaises(results.ResultsError):
            results.ProgramRuns({"tests": 1, "runs": []})
        with self.assertRaises(results.ResultsError):
            results.ProgramRuns({"version": "1.0.0"})


if __name__ == "__main__":
    unittest.main()
