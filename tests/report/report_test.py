#!/usr/bin/env python3
"""benchmarks/report.py on small hand-made suite results: minima before
medians, the fastest of the direction-cosine floors, the noisy mark and the
machines table. Usage: report_test.py PATH/TO/report.py"""
import contextlib
import importlib.util
import io
import json
import os
import sys
import tempfile
import unittest

spec = importlib.util.spec_from_file_location("report", sys.argv.pop(1))
report = importlib.util.module_from_spec(spec)
spec.loader.exec_module(report)


def aggregate(name, kind, ns):
    return {"name": f"{name}_{kind}", "run_name": name, "run_type": "aggregate", "repetitions": 3,
            "aggregate_name": kind, "per_test": ns * 1e-9 if kind != "cv" else ns}


def iteration(name, ns):
    return {"name": name, "run_name": name, "run_type": "iteration", "repetitions": 3, "per_test": ns * 1e-9}


def results(machine, benchmarks):
    return {"context": {"date": "2026-12-07T12:00:00+00:00", "num_cpus": 2, "mhz_per_cpu": 2600,
                        "load_avg": [1.5, 1, 1], "machine": machine, "vector_target": "AVX2"},
            "benchmarks": benchmarks}


def suite_run(machine, cv=0.01):
    """Aggregates with minima at 14000 airports: the select floor is the fastest."""
    b = []
    for name, median, least in (("BM_CdcPass", 3.0, 2.9), ("BM_CdcFloor", 3.6, 3.5), ("BM_CdcFloorSelect", 3.2, 2.8),
                                ("BM_CdcFloorConditional", 3.3, 3.1), ("BM_CdcPort", 7.0, 6.0),
                                ("BM_LatLongPass", 30.0, 29.0), ("BM_LatLongFloor", 30.0, 28.0)):
        name += "/airports:14000"
        b += [aggregate(name, "median", median), aggregate(name, "min", least), aggregate(name, "cv", cv)]
    for name, least in (("BM_CdcVectorPass/airports:14000", 1.2), ("BM_VectorSqrt", 0.6)):
        b += [aggregate(name, "min", least), aggregate(name, "cv", 0.2)]
    return results(machine, b)


def run(main_args):
    out = io.StringIO()
    with contextlib.redirect_stdout(out):
        report.main(["report.py"] + main_args)
    return out.getvalue()


class Figures(unittest.TestCase):
    def test_minimum_before_median_before_single_run(self):
        ns = report.figures(results("m", [aggregate("A", "median", 5), aggregate("A", "min", 4),
                                          aggregate("B", "median", 5), iteration("C", 7)]))
        self.assertEqual((ns["A"], ns["A"].kind), (4, "min"))
        self.assertEqual((ns["B"], ns["B"].kind), (5, "median"))
        self.assertEqual((round(ns["C"], 9), ns["C"].kind), (7, "run"))

    def test_kept_repetitions_give_their_least_and_their_spread(self):
        steady = report.figures(results("m", [iteration("A", x) for x in (5.0, 5.1, 5.05)]))["A"]
        spread = report.figures(results("m", [iteration("A", x) for x in (5.0, 6.0, 7.0)]))["A"]
        self.assertEqual((steady, steady.kind, steady.noisy), (5.0, "min", False))
        self.assertEqual((spread, spread.noisy), (5.0, True))  # cv 0.167

    def test_noisy_from_the_cv_aggregate_at_the_threshold(self):
        for cv, noisy in ((0.05, False), (0.0501, True)):
            ns = report.figures(results("m", [aggregate("A", "min", 1), aggregate("A", "cv", cv)]))
            self.assertEqual(ns["A"].noisy, noisy, cv)

    def test_fastest_floor_is_the_pass_s_floor(self):
        ns = report.figures(suite_run("m"))
        self.assertEqual(report.best_cdc_floor(ns, 14000), ("CdcFloorSelect", 2.8))


class Tables(unittest.TestCase):
    def write(self, data):
        f = tempfile.NamedTemporaryFile("w", suffix=".json", delete=False)
        json.dump(data, f)
        f.close()
        self.addCleanup(os.unlink, f.name)
        return f.name

    def test_run_table_judges_against_the_fastest_floor(self):
        text = run([self.write(suite_run("m"))])
        self.assertIn("| 14000 | 2.90 ns | 2.80 ns (select) | 1.036 | 29.0 ns | 28.0 ns | 1.036 | 10.00 |", text)
        self.assertIn("cdc pass within 5 % of its fastest floor: at every airport count", text)
        self.assertIn("* noisy", text)  # the vector search's figures, cv 0.2

    def test_machines_table_one_row_per_machine_with_noisy_marks(self):
        a = self.write(suite_run("Zen 4", cv=0.06))
        b = self.write(results("Zen 4", [iteration("BM_CdcPort/airports:14000", x) for x in (5.0, 5.1)]))
        c = self.write(suite_run("Xeon"))
        rows = [line for line in run(["--machines", a, b, c]).splitlines() if line.startswith("| ")][1:]
        self.assertEqual(len(rows), 2)
        zen4, xeon = rows
        # The port's kept repetitions (least 5.0) replace the aggregates' minimum (6.0) of the first file only if
        # they rank before it: both are minima, so the first file's stands.
        self.assertIn("| Zen 4 | 2026-12-07 12:00 load 1.50; 2026-12-07 12:00 load 1.50 | 2.90* | 2.80* (select) "
                      "| 1.036 | 6.00* | 2.07 | 1.200* (AVX2) | 0.600* | 2.00 | 2.00 | 10.00 |", zen4)
        self.assertTrue(xeon.startswith("| Xeon |"))


if __name__ == "__main__":
    unittest.main()
