#!/usr/bin/env python3
"""docs/SCALE.md's figures from a made-up run of the scale benchmarks
(tools/spherebench_docs/scale.py, scale_doc.py): the CPU time per thread
taken from the process's, the fastest repetition, the floors, and the
crossover as the smallest size from which the pair stays faster."""
import os
import sys
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from spherebench_docs import catalogue, scale, scale_doc  # noqa: E402

L1, L2, L3 = 32 << 10, 1 << 20, 32 << 20
BYTES = {"CdcBruteVector": 8, "S2PointBruteVector": 24, "FloatBruteVector": 12}


def entry(name, per_test_ns, real=1.0, cpu=1.0, **more):
    return dict(name=name, run_name=name, run_type="iteration", per_test=per_test_ns * 1e-9, real_time=real,
                cpu_time=cpu, **more)


def one(search, n, threads, ns, **times):
    return entry(f"BM_ScaleOne/{search}/locations:{n}/threads:{threads}/min_time:0.200/real_time", ns, **times)


def run_of(benchmarks, caches=(L1, L2, L3)):
    results = {"context": {"date": "2026-01-01T00:00:00", "num_cpus": 2,
                           "caches": [{"level": 1, "type": "Data", "size": 1 << 15},
                                      {"level": 2, "type": "Unified", "size": 1 << 19},
                                      {"level": 3, "type": "Unified", "size": 1 << 25}]},
               "benchmarks": benchmarks}
    return scale.Run(results, BYTES, caches)


class ScaleRun(unittest.TestCase):
    def test_cpu_time_per_thread_and_fastest_repetition(self):
        run = run_of([
            # Two threads, wall 4, process CPU 4: each thread ran 2 of the 4, so 1 ns becomes 0.5.
            one("CdcBruteVector", 1024, 2, 1.0, real=4.0, cpu=4.0),
            # One thread waiting half the time for a core: 2 ns of wall-clock is 1 ns of CPU.
            one("CdcBruteVector", 1024, 1, 2.0, real=2.0, cpu=1.0),
            one("CdcBruteVector", 1024, 1, 1.5, real=1.0, cpu=1.0),
        ])
        self.assertAlmostEqual(run.t[("One", "CdcBruteVector", 1024, 2)], 0.5)
        self.assertAlmostEqual(run.t[("One", "CdcBruteVector", 1024, 1)], 1.0)
        self.assertAlmostEqual(run.wall[("One", "CdcBruteVector", 1024, 1)], 1.5)

    def test_caches_come_from_the_run_not_from_this_machine(self):
        run = run_of([one("CdcBruteVector", 1024, 1, 1.0)], caches=None)
        self.assertEqual(run.caches, (1 << 15, 1 << 19, 1 << 25))

    def test_floors(self):
        n = 1 << 20
        run = run_of([
            one("S2PointBruteVector", 1024, 1, 0.3), one("S2PointBruteVector", n, 1, 2.0),  # 24 KiB in L2, 24 MiB not
            entry(f"BM_ScaleRead/bytes:{n * 24}/threads:1/real_time", 0, bytes_per_second=12e9),
            entry(f"BM_ScaleRead/bytes:{n * 24}/threads:2/real_time", 0, real=1.0, cpu=2.0, bytes_per_second=20e9),
        ])
        self.assertAlmostEqual(run.compute_floor("One", "S2PointBruteVector", 1), 0.3)
        self.assertAlmostEqual(run.memory_floor("One", "S2PointBruteVector", n, 1), 2.0)  # 24 bytes at 12 GB/s
        self.assertAlmostEqual(run.memory_floor("Batch", "S2PointBruteVector", n, 2), 24 * 2 / 1000 / 20e9 * 1e9)
        self.assertAlmostEqual(run.floor("One", "S2PointBruteVector", n, 1), 2.0)

    def test_crossover_is_where_the_pair_stays_faster(self):
        sizes = [1 << 10, 1 << 14, 1 << 18, 1 << 22, 1 << 24]
        cases = [
            ([0.5, 0.5, 0.5, 0.5, 0.5], None),  # never
            ([0.5, 1.5, 0.5, 1.5, 1.5], 1 << 22),  # a faster size before a slower one does not count
            ([0.5, 0.5, 0.5, 0.5, 1.5], 1 << 24),  # at the largest only
            ([1.5, 1.5, 1.5, 1.5, 1.5], 1 << 10),  # everywhere
            ([0.5, 0.5, 1.0, 1.5, 1.5], 1 << 22),  # a tie is no overtaking
        ]
        for other, expected in cases:
            run = run_of([one("CdcBruteVector", n, 1, 1.0) for n in sizes] +
                         [one("S2PointBruteVector", n, 1, t) for n, t in zip(sizes, other)])
            self.assertEqual(run.crossover("CdcBruteVector", "S2PointBruteVector", "One", 1)[0], expected, other)

    def test_a_narrow_lead_is_called_a_tie(self):
        sizes = [1 << 20, 1 << 22, 1 << 24]
        run = run_of([one("CdcBruteVector", n, 1, 1.0) for n in sizes] +
                     [one("S2PointBruteVector", n, 1, t) for n, t in zip(sizes, [0.5, 1.05, 1.5])])
        sentence = scale_doc.crossover_sentence(run, "One", 1, "S2PointBruteVector")
        self.assertIn("from 2^22 locations on", sentence)
        self.assertIn("a tie within the noise; it is clearly faster from 2^24 on", sentence)


class Catalogue(unittest.TestCase):
    def test_the_scale_study_names_only_catalogued_searches(self):
        searches = catalogue.load()
        self.assertEqual([n for n in scale.ORDER if n not in searches], [])
        self.assertEqual({n: searches[n].bytes for n in BYTES}, BYTES)

    def test_reads_every_field_of_an_entry(self):
        header = '{SearchId::kX, "XBrute", Form::kS2Point, SearchKind::kIndex, true, false,\n "x (a/b.h)"},'
        forms = "case Form::kS2Point:\n return 3 * 8;\n default:\n return 8;"
        x = catalogue.parse(header, forms)["XBrute"]
        self.assertEqual((x.form, x.kind, x.vector, x.exact, x.entry, x.bytes),
                         ("S2Point", "index", True, False, "x (a/b.h)", 24))
        with self.assertRaises(ValueError):
            catalogue.parse("no entries", forms)


if __name__ == "__main__":
    unittest.main()
