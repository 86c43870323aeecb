#!/usr/bin/env python3
"""tools/spherebench_docs/results.py, the one reader of results and the one
rule for a figure of repetitions: the suite's JSON written the way no line
scraper could read it (the whole file on one line, keys in no particular
order, the suite's facts as JSON text in the context), the program's --json
records, and the lower middle as the median.

    python3 tests/docs_results_test.py
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

from docs_samples import aggregate, as_saved, context, iteration

from spherebench_docs import catalogue, results  # noqa: E402

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools")
SAMPLE = {
    "benchmarks": [
        {"per_test": 9e-9, "name": "BM_PairScan/airports:14000", "run_name": "BM_PairScan/airports:14000",
         "run_type": "iteration", "repetitions": 3},
        aggregate("BM_PairScan/airports:14000", "mean", 3.5e-9),
        aggregate("BM_PairScan/airports:14000", "median", 3.4253e-09),
        aggregate("BM_PairScan/airports:14000", "cv", 0.012),
        aggregate("BM_FixedScan/airports:14000", "median", 0.1 + 0.2),
        aggregate("BM_FixedScan/airports:14000", "cv", 0.031),
    ],
    "context": as_saved(context(vector_target="AVX3", date="2026-12-07T10:02:11+00:00", broken="{not json")),
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

    def test_medians_where_the_run_kept_no_repetitions(self):
        ns = results.figures(self.results)
        self.assertEqual(ns, {"BM_PairScan/airports:14000": 3.4253e-09 * 1e9,
                              "BM_FixedScan/airports:14000": (0.1 + 0.2) * 1e9})
        self.assertEqual(ns["BM_PairScan/airports:14000"].kind, "median")
        self.assertEqual((results.widest_cv(self.results), results.repetitions(self.results)), (0.031, 3))
        self.assertEqual(results.about(self.results), "median of 3 runs; run of 2026-12-07, vector target AVX3")

    def test_the_least_where_it_can_and_the_noisy_mark(self):
        least = results.figures({"benchmarks": [iteration("BM_X", x) for x in (5e-9, 4e-9, 6e-9)]})["BM_X"]
        self.assertEqual((least, least.kind, least.noisy), (4.0, "min", True))  # cv 0.2
        for cv, noisy in ((0.049, False), (0.05, False), (0.0501, True)):
            least = results.figures({"benchmarks": [aggregate("BM_X", "min", 2e-9), aggregate("BM_X", "median", 3e-9),
                                                    aggregate("BM_X", "cv", cv)]})["BM_X"]
            self.assertEqual((least, least.kind, least.noisy), (2.0, "min", noisy), cv)
        single = results.figures({"benchmarks": [iteration("BM_Y", 7e-9), iteration("BM_Z", 1.0, "per_query")]})
        self.assertEqual((round(single["BM_Y"], 9), single["BM_Y"].kind, list(single)), (7, "run", ["BM_Y"]))

    def test_the_median_is_the_lower_middle(self):
        self.assertEqual([results.median(v) for v in ([4, 1, 3, 2], [3, 1, 2], [5], [2, 2, 1, 1])], [2, 2, 5, 1])

    def test_json_text_in_the_context_is_read_and_asked_for(self):
        self.assertEqual(list(catalogue.of(self.results).searches)[:2], ["PairScan", "PairLanes"])
        self.assertEqual(self.results["context"]["broken"], "{not json")  # text that looks like JSON stays text
        with self.assertRaises(results.ResultsError):
            results.context_facts({"context": {"cpu": "x"}}, "catalogue")

    def test_context_caches_and_runs_only(self):
        self.assertEqual(results.cache_bytes(self.results, 2, "Unified"), 1 << 19)
        with self.assertRaises(results.ResultsError):
            results.cache_bytes(self.results, 4, "Unified")
        kept = results.with_context(json.loads(json.dumps(self.results)), ["other_load=0.25"])
        self.assertEqual((len(kept["benchmarks"]), kept["context"]["other_load"]), (6, "0.25"))
        trimmed = results.with_context(self.results, ["load_at_end=1.0 2.0 3.0"], runs_only=True)
        self.assertEqual([b["run_type"] for b in trimmed["benchmarks"]], ["iteration"])
        self.assertEqual(trimmed["context"]["load_at_end"], "1.0 2.0 3.0")

    def test_command_line(self):
        def run(*args):
            return subprocess.run([sys.executable, os.path.join(TOOLS, "spherebench_docs")] + list(args),
                                  capture_output=True, text=True)
        self.assertEqual(run("context", self.path, "num_cpus").stdout, "2\n")
        self.assertEqual(json.loads(run("context", self.path, "ports").stdout), {"Pair": "BM_PairPort"})
        refused = run("context", self.path, "no_such_key")
        self.assertEqual((refused.returncode, refused.stdout), (1, ""))
        self.assertIn("no_such_key", refused.stderr)
        self.assertIn("performance DOC.md", run("no-such-command").stderr)


class LoadGate(unittest.TestCase):
    """A run is published only where neither the load as it began nor the
    other programs' work during it passes half a core."""

    def test_the_start_and_the_others_during_the_run_each_refuse(self):
        def refusal(start, other="0.2"):
            return results.other_work({"num_cpus": 2, "load_avg": [start, 3.0, 3.0], "other_load": other})
        self.assertIsNone(refusal(1.0, "1.0"))  # half a core each: still quiet
        self.assertIn("the load as the run began was 1.01 on 2 cores", refusal(1.01))
        self.assertIn("work during the run came to 1.30 on 2 cores", refusal(0.3, "1.3"))
        # A run saved without the reading after it cannot show it was quiet.
        self.assertIn("no other_load", results.other_work({"num_cpus": 2, "load_avg": [0.1, 0.1, 0.1]}))

    def test_the_load_said_where_recorded(self):
        self.assertEqual(results.load_text({"load_avg": [0.214, 1, 1], "load_at_end": "1.03 0.5 0.2"}),
                         "load 0.21 at the start, 1.03 at the end")
        self.assertEqual(results.load_text({"load_avg": [5.176, 5.2, 5.1]}),
                         "load 5.18 at the start, not recorded at the end")
        self.assertEqual(results.load_text({"load_avg": [1, 1, 1], "load_after": "7.92 7.37 5.48"}),
                         "load 1.00 at the start, 7.92 at the end")
        self.assertEqual(results.load_text({"load_avg": []}), "load not recorded")

    def test_publish_refuses_a_busy_run_and_leaves_the_saved_one(self):
        with tempfile.TemporaryDirectory() as folder:
            out = saved(folder, {"saved": "before"}, "out.json")

            def publish(start, *pairs):
                run = saved(folder, dict(SAMPLE, context=dict(SAMPLE["context"], load_avg=[start, 1, 1])))
                return subprocess.run([sys.executable, os.path.join(TOOLS, "spherebench_docs"), "publish", run, out,
                                       "--runs-only"] + list(pairs), capture_output=True, text=True)
            refused = publish(1.5, "other_load=0.1", "load_at_end=1.2 1 1")
            self.assertEqual(refused.returncode, 1)
            self.assertIn("the machine is busy", refused.stderr)
            self.assertEqual(results.load(out), {"saved": "before"})
            self.assertEqual(publish(0.4, "other_load=0.1").returncode, 0)
            published = results.load(out)
            self.assertEqual((published["context"]["other_load"], len(published["benchmarks"])), ("0.1", 1))


class ProgramRecords(unittest.TestCase):
    def record(self, cdc, latlong):
        return results.ProgramRuns({"tests": 14000000, "airports": 14000, "points": 1000,
                                    "searches": {"cdc": "PairScan", "latlong": "FixedScan"},
                                    "runs": [{"cdc_ticks": c, "latlong_ticks": ll} for c, ll in zip(cdc, latlong)]})

    def test_least_ticks_and_ns_per_test_of_the_passes_the_record_names(self):
        runs = self.record([50, 49, 70], [411, 420, 412])
        self.assertEqual((runs.passes, runs.search("latlong")), (["cdc", "latlong"], "FixedScan"))
        self.assertEqual((runs.least("cdc"), runs.least("latlong")), (49, 411))
        self.assertAlmostEqual(runs.ns_per_test("cdc"), 3.5)
        self.assertAlmostEqual(runs.ratio(), 411 / 49)
        self.assertTrue(runs.ns_per_test("cdc").noisy)  # 49 to 70
        self.assertFalse(runs.ns_per_test("latlong").noisy)

    def test_a_record_without_runs_or_searches_is_refused(self):
        for record in ({"tests": 1, "searches": {}, "runs": []}, {"version": "1.0.0"},
                       {"tests": 1, "runs": [{"cdc_ticks": 1}]}):
            with self.assertRaises(results.ResultsError):
                results.ProgramRuns(record)


if __name__ == "__main__":
    unittest.main()
