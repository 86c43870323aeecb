#!/usr/bin/env python3
"""Tests of benchmarks/suite_results.py, the one reader of the suite's JSON,
on a small sample written the way no line scraper could read it: the whole
file on one line, keys in no particular order.

    python3 tests/suite_results_test.py
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
BENCHMARKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "benchmarks")
sys.path.insert(0, BENCHMARKS)
import suite_results  # noqa: E402


def aggregate(run_name, kind, per_test, repetitions=3):
    # Keys deliberately out of Google Benchmark's order.
    return {"per_test": per_test, "aggregate_name": kind, "repetitions": repetitions, "run_type": "aggregate",
            "run_name": run_name, "name": "%s_%s" % (run_name, kind)}


SAMPLE = {
    "benchmarks": [
        {"per_test": 9e-9, "name": "BM_CdcPass/airports:14000", "run_name": "BM_CdcPass/airports:14000",
         "run_type": "iteration", "repetitions": 3},
        aggregate("BM_CdcPass/airports:14000", "mean", 3.5e-9),
        aggregate("BM_CdcPass/airports:14000", "median", 3.4253e-09),
        aggregate("BM_CdcPass/airports:14000", "cv", 0.012),
        aggregate("BM_LatLongPass/airports:14000", "median", 0.1 + 0.2),
        aggregate("BM_LatLongPass/airports:14000", "cv", 0.031),
    ],
    "context": {
        "load_avg": [0.836914, 0.913574, 1.24072],
        "num_cpus": 2,
        "caches": [{"type": "Data", "level": 1}],
        "same_winner_as_cdc_pass": "S2CellId 5000 of 5000",
        "date": "2026-12-07T10:02:11+00:00",
        "cpu": "Some\tCPU\nname",
        "cpu_scaling_enabled": False,
        "vector_target": "AVX3",
    },
}


class SuiteResultsTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.folder.name, "results.json")
        with open(self.path, "w") as f:
            f.write(json.dumps(SAMPLE, indent=None))  # one line
        self.results = suite_results.load(self.path)

    def tearDown(self):
        self.folder.cleanup()

    def run_tool(self, *args):
        return subprocess.run([sys.executable, os.path.join(BENCHMARKS, "suite_results.py")] + list(args),
                              capture_output=True, text=True)

    def test_medians_per_test_in_nanoseconds(self):
        ns = suite_results.least_ns(self.results)
        self.assertEqual(ns, {"BM_CdcPass/airports:14000": 3.4253e-09 * 1e9,
                              "BM_LatLongPass/airports:14000": (0.1 + 0.2) * 1e9})

    def test_single_runs_without_repetitions(self):
        single = {"benchmarks": [b for b in SAMPLE["benchmarks"] if b["run_type"] == "iteration"]}
        self.assertEqual(suite_results.least_ns(single), {"BM_CdcPass/airports:14000": 9.0})

    def test_least_of_the_repetitions_and_the_noisy_ones(self):
        def run(per_test):
            return {"per_test": per_test, "run_name": "BM_X", "name": "BM_X", "run_type": "iteration"}
        kept = {"benchmarks": [run(5e-9), run(4e-9), run(6e-9)]}
        least = suite_results.least_ns(kept)["BM_X"]
        self.assertEqual((least, least.kind, least.noisy), (4.0, "min", True))  # cv 0.2
        with_min = {"benchmarks": [aggregate("BM_X", "min", 2e-9), aggregate("BM_X", "median", 3e-9),
                                   aggregate("BM_X", "cv", 0.049)]}
        least = suite_results.least_ns(with_min)["BM_X"]
        self.assertEqual((least, least.kind, least.noisy), (2.0, "min", False))

    def test_context_and_runs_only(self):
        self.assertEqual(self.run_tool("context", self.path, "num_cpus").stdout, "2\n")
        out = os.path.join(self.folder.name, "runs.json")
        done = self.run_tool("runs-only", self.path, out, "load_after=1.0 2.0 3.0")
        self.assertEqual(done.returncode, 0, done.stderr)
        trimmed = suite_results.load(out)
        self.assertEqual([b["run_type"] for b in trimmed["benchmarks"]], ["iteration"])
        self.assertEqual(trimmed["context"]["load_after"], "1.0 2.0 3.0")

    def test_figures_read_back_as_the_same_doubles(self):
        lines = suite_results.figures(self.results)
        self.assertEqual(lines[:4], [
            "repetitions\t3",
            "widest_spread\t0.031",
            "median\tBM_CdcPass/airports:14000\t3.4253e-09",
            "median\tBM_LatLongPass/airports:14000\t0.30000000000000004",
        ])
        self.assertIn("load_avg\t0.836914\t0.913574\t1.24072", lines)
        self.assertIn("context\tnum_cpus\t2", lines)
        self.assertIn("context\tcpu_scaling_enabled\tfalse", lines)
        self.assertIn("context\tdate\t2026-12-07T10:02:11+00:00", lines)
        self.assertIn("context\tsame_winner_as_cdc_pass\tS2CellId 5000 of 5000", lines)
        # A tab or line break would split a figure: both become spaces.
        self.assertIn("context\tcpu\tSome CPU name", lines)
        self.assertFalse(any(line.startswith("context\tcaches") for line in lines))
        for line in lines:
            self.assertNotIn("\n", line)

    def test_date_and_about(self):
        self.assertEqual(suite_results.run_date(self.results), "2026-12-07")
        self.assertEqual(suite_results.about(self.results), "median of 3 runs; run of 2026-12-07, vector target AVX3")

    def test_command_line(self):
        done = self.run_tool("figures", self.path)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout, "\n".join(suite_results.figures(self.results)) + "\n")
        self.assertEqual(self.run_tool("date", self.path).stdout, "2026-12-07\n")

    def test_results_without_medians_are_refused(self):
        with open(self.path, "w") as f:
            json.dump({"context": {}, "benchmarks": [SAMPLE["benchmarks"][0]]}, f)
        done = self.run_tool("figures", self.path)
        self.assertEqual(done.returncode, 1)
        self.assertEqual(done.stdout, "")
        self.assertIn("holds no medians", done.stderr)

    def test_usage(self):
        done = self.run_tool("medians", self.path)
        self.assertEqual(done.returncode, 1)
        self.assertIn("suite_results.py figures RESULTS.json", done.stderr)


if __name__ == "__main__":
    unittest.main()
