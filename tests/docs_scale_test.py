#!/usr/bin/env python3
"""docs/SCALE.md's figures from a made-up run of the scale benchmarks
(tools/spherebench_docs/scale.py, scale_doc.py): the CPU time per thread
taken from the process's, the fastest repetition, the floors with the run's
batch, the crossover as the smallest size from which the smaller form stays
faster, and the searches set side by side chosen by their forms' bytes."""
import json
import os
import tempfile
import unittest

from docs_samples import context

from spherebench_docs import catalogue, index_scale_doc, scale, scale_doc  # noqa: E402
from spherebench_docs.__main__ import publish_index_scale  # noqa: E402
from spherebench_docs.results import ResultsError  # noqa: E402

L1, L2, L3 = 32 << 10, 1 << 20, 32 << 20


def entry(name, per_test_ns, real=1.0, cpu=1.0, **more):
    return dict(name=name, run_name=name, run_type="iteration", per_test=per_test_ns * 1e-9, real_time=real,
                cpu_time=cpu, **more)


def one(search, n, threads, ns, mode="One", **times):
    return entry(f"BM_Scale{mode}/{search}/locations:{n}/threads:{threads}/min_time:0.200/real_time", ns, **times)


def run_of(benchmarks, caches=(L1, L2, L3)):
    return scale.Run({"context": context(), "benchmarks": benchmarks}, caches)


class ScaleRun(unittest.TestCase):
    def test_cpu_time_per_thread_and_fastest_repetition(self):
        run = run_of([
            # Two threads, wall 4, process CPU 4: each thread ran 2 of the 4, so 1 ns becomes 0.5.
            one("PairLanes", 1024, 2, 1.0, real=4.0, cpu=4.0),
            # One thread waiting half the time for a core: 2 ns of wall-clock is 1 ns of CPU.
            one("PairLanes", 1024, 1, 2.0, real=2.0, cpu=1.0),
            one("PairLanes", 1024, 1, 1.5, real=1.0, cpu=1.0),
        ])
        self.assertAlmostEqual(run.t[("One", "PairLanes", 1024, 2)], 0.5)
        self.assertAlmostEqual(run.t[("One", "PairLanes", 1024, 1)], 1.0)
        self.assertAlmostEqual(run.wall[("One", "PairLanes", 1024, 1)], 1.5)
        self.assertEqual(run_of([one("PairLanes", 1024, 1, 1.0)], caches=None).caches, (1 << 15, 1 << 19, 1 << 25))

    def test_floors(self):
        n = 1 << 20
        run = run_of([
            one("BigLanes", 1024, 1, 0.3), one("BigLanes", n, 1, 2.0),  # 24 KiB in L2, 24 MiB not
            entry(f"BM_ScaleRead/bytes:{n * 24}/threads:1/real_time", 0, bytes_per_second=12e9),
            entry(f"BM_ScaleRead/bytes:{n * 24}/threads:2/real_time", 0, real=1.0, cpu=2.0, bytes_per_second=20e9),
        ])
        self.assertAlmostEqual(run.compute_floor("One", "BigLanes", 1), 0.3)
        self.assertAlmostEqual(run.memory_floor("One", "BigLanes", n, 1), 2.0)  # 24 bytes at 12 GB/s
        self.assertAlmostEqual(run.memory_floor("Batch", "BigLanes", n, 2), 24 * 2 / 1000 / 20e9 * 1e9)
        self.assertAlmostEqual(run.floor("One", "BigLanes", n, 1), 2.0)

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
            run = run_of([one("PairLanes", n, 1, 1.0) for n in sizes] +
                         [one("BigLanes", n, 1, t) for n, t in zip(sizes, other)])
            self.assertEqual(run.crossover("PairLanes", "BigLanes", "One", 1)[0], expected, other)

    def test_a_narrow_lead_is_called_a_tie(self):
        sizes = [1 << 20, 1 << 22, 1 << 24]
        run = run_of([one("PairLanes", n, 1, 1.0) for n in sizes] +
                     [one("BigLanes", n, 1, t) for n, t in zip(sizes, [0.5, 1.05, 1.5])])
        sentence = scale_doc.crossover_sentence(run, "One", 1, "PairLanes", "BigLanes")
        self.assertIn("PairLanes (8 bytes) overtakes BigLanes (24 bytes) from 2^22 locations on", sentence)
        self.assertIn("a tie within the noise; it is clearly faster from 2^24 on", sentence)

    def test_the_fastest_small_form_is_set_beside_each_larger_form(self):
        n = 1 << 20
        run = run_of([one("PairScan", n, 1, 3.0), one("PairLanes", n, 1, 1.0), one("FixedLanes", n, 1, 0.9),
                      one("CellScan", n, 1, 9.0), one("BigLanes", n, 1, 2.0), one("FloatLanes", n, 1, 0.5),
                      one("FloatLanes", n, 1, 0.4, mode="Batch"), one("BigLanes", n, 1, 0.6, mode="Batch"),
                      one("PairScan", 1 << 14, 1, 3.0, mode="Batch")])
        self.assertEqual(run.searches, ["PairScan", "PairLanes", "FixedLanes", "CellScan", "BigLanes", "FloatLanes"])
        self.assertEqual(run.smallest_and_larger("One", 1), ("FixedLanes", ["BigLanes", "FloatLanes"]))
        self.assertEqual(run.smallest_and_larger("Batch", 1), ("FloatLanes", ["BigLanes"]))
        self.assertIn(" PairScan are batched only up to 2^14 locations", scale_doc.batch_limits(run))
        with self.assertRaises(ValueError):
            catalogue.of(run.results).find("Pair", "no such kind")


def index_row(search, size, **figures):
    row = dict(search=search, size=size, threads=2, build_ms_one_thread=-1.0, build_ms=1000.0,
               bytes_per_location=12.5, peak_resident_bytes=2.0**30, resident_before_build=0, resident_built=0,
               query_ns_near=1000.0, query_ns_uniform=2000.0, save_ms=10.0, open_ms=3.0, open_warm_ms=0.1,
               resident_opened=0, first_query_ms=1.0, resident_after_first_query=2**20, open_whole_ms=100.0,
               opened_query_ns_near=1000.0, opened_query_ns_uniform=2000.0, answer_sum=0)
    row.update(figures)
    return row


class IndexScaleRun(unittest.TestCase):
    """The indexes' part: a search's largest size gives its bytes for 2^30
    locations (a run cut short at a smaller one included), the speed-up only
    where the one-thread build was timed, and a run that did not finish or
    began busy is not published."""

    def lines(self, *rows, end=True):
        out = [dict(cpu="X", cores=2, memory_bytes=24 * 2**30, load_at_start="0.10 0.20 0.30"),
               dict(anchor="NanoflannKdTree", size=1 << 20, bytes_per_location=45.0)] + list(rows)
        return out + ([dict(load_at_end="1.00 0.5 0.3")] if end else [])

    def test_section_figures(self):
        run = index_scale_doc.Run(self.lines(
            index_row("CdcIndex", 1 << 24, build_ms_one_thread=1800.0),
            index_row("CdcIndex", 1 << 30, bytes_per_location=12.25),
            index_row("LatLongIndex", 1 << 24, bytes_per_location=13.0)))
        text = index_scale_doc.section(run)
        self.assertIn("| CdcIndex | 2^24 | 12.50 | 1.00 | 1.80 | 1.80 |", text)
        self.assertIn("| CdcIndex | 2^30 | 12.25 | 1.00 | – | – |", text)
        self.assertIn("| CdcIndex (measured at 2^30) | 12.25 | 12.2 | yes |", text)
        self.assertIn("| LatLongIndex (measured at 2^24) | 13.00 | 13.0 | yes |", text)
        self.assertIn("| NanoflannKdTree (measured at 2^20) | 45.00 | 45.0 | no |", text)
        self.assertIn("## The indexes up to 2^30 locations", text)

    def test_publish_refuses_busy_or_unfinished_runs(self):
        with tempfile.TemporaryDirectory() as folder:
            source, out = os.path.join(folder, "run.jsonl"), os.path.join(folder, "out.jsonl")
            for lines, published in [(self.lines(index_row("CdcIndex", 1 << 20)), True),
                                     (self.lines(index_row("CdcIndex", 1 << 20), end=False), False)]:
                with open(source, "w") as f:
                    f.write("".join(json.dumps(line) + "\n" for line in lines))
                if published:
                    publish_index_scale(source, out)
                    self.assertTrue(os.path.exists(out))
                else:
                    self.assertRaises(ResultsError, publish_index_scale, source, out)
            lines = self.lines(index_row("CdcIndex", 1 << 20))
            lines[0]["load_at_start"] = "1.50 0.2 0.1"
            with open(source, "w") as f:
                f.write("".join(json.dumps(line) + "\n" for line in lines))
            self.assertRaises(ResultsError, publish_index_scale, source, out)


if __name__ == "__main__":
    unittest.main()
