#!/usr/bin/env python3
"""tools/spherebench_docs/search_doc.py on a made-up run: the catalogue's forms and kinds
read from its header, the least of the repetitions, the fastest exact search
(an anchor never), each form's best against the best anchor, the ratio of the
two seed forms, and the anchors' wrong answers in the build table."""
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
from spherebench_docs import catalogue, search_doc  # noqa: E402

CATALOGUE = search_doc.catalogue_facts(catalogue.load())


def entry(search, size, kind, seconds, threads=1, **more):
    name = "BM_Query/%s/locations:%d/queries:%s" % (search, size, kind)
    if threads > 1:
        name += "/threads:%d" % threads
    return dict(name=name, run_name=name, run_type="iteration", per_query=seconds, **more)


def run_of(benchmarks):
    return search_doc.Run({"context": {"date": "2026-01-01"}, "benchmarks": benchmarks}, CATALOGUE)


class SearchDocTest(unittest.TestCase):
    def test_catalogue_forms_and_kinds(self):
        self.assertEqual(CATALOGUE["CdcIndex"], ("CdcPair", "Index", True))
        self.assertEqual(CATALOGUE["LatLongPrunedVector"], ("FixedLatLong", "Pruned", True))
        self.assertEqual(CATALOGUE["BoostRtree"], ("S2Point", "Anchor", False))
        self.assertEqual(len(CATALOGUE), 18)

    def test_least_of_repetitions_and_the_answer(self):
        run = run_of([
            entry("CdcBrute", 1024, "path", 4e-6), entry("CdcBrute", 1024, "path", 3e-6),
            entry("LatLongBrute", 1024, "path", 30e-6),
            entry("CdcIndex", 1024, "path", 0.5e-6, build=1e-3, bytes_per_location=12.0),
            entry("LatLongIndex", 1024, "path", 1.0e-6, build=1e-3, bytes_per_location=16.0),
            entry("NanoflannKdTree", 1024, "path", 0.1e-6, build=2e-3, bytes_per_location=46.0, wrong=2),
            entry("CdcIndex", 1024, "path", 0.2e-6, threads=2),
            entry("Unknown", 1024, "path", 1e-9),  # not in the catalogue: left out
        ])
        self.assertEqual(run.time("CdcBrute", 1024, "path"), 3e-6)
        self.assertEqual(run.time("CdcIndex", 1024, "path", 2), 0.2e-6)
        self.assertNotIn("Unknown", run.searches)
        text = "\n".join(search_doc.answer(run))
        self.assertIn("path queries: CdcIndex at 1024 (0.5 µs).", text)
        self.assertIn("The lat/long form's best over the pair's best, path queries, by size: 1024: 2.00 "
                      "(brute force 10.00)", text)
        doc = search_doc.document(run)
        self.assertIn("| NanoflannKdTree | 1024 | 2 | 46.0 | 2 / – |", doc)
        self.assertIn("| CdcIndex | 1024 | 1 | 12.0 | exact |", doc)

    def test_fastest_over_consecutive_sizes_said_once(self):
        run = run_of([entry("CdcBrute", n, "path", n * 1e-9) for n in (1024, 4096, 16384)] +
                     [entry("FloatBruteVector", n, "path", n * 2e-9) for n in (1024, 4096)] +
                     [entry("CdcBrute", 1024, "path", 3e-6, threads=2)])
        self.assertIn("path queries: CdcBrute from 1024 to 16384 (1.02 to 16.4 µs).", "\n".join(search_doc.answer(run)))
        self.assertIn("| search | form | kind | 1024 |\n", "\n".join(search_doc.time_table(run, 2)) + "\n")

    def test_best_anchor_set_beside_each_form(self):
        run = run_of([entry("CdcIndex", 14000, "uniform", 1e-6), entry("BoostRtree", 14000, "uniform", 2e-6),
                      entry("NanoflannKdTree", 14000, "uniform", 4e-6)])
        text = "\n".join(search_doc.answer(run))
        self.assertIn("best anchor (BoostRtree, 2 µs): CdcPair's best, CdcIndex, 0.50×", text)

    def test_goals_set_the_pair_index_beside_the_tree(self):
        run = run_of([entry("CdcIndex", 14000, "path", 1e-7, build=1e-3, bytes_per_location=12.5),
                      entry("NanoflannKdTree", 14000, "path", 2e-7, build=4e-3, bytes_per_location=46.0),
                      entry("CdcPrunedVector", 14000, "uniform", 6e-6),
                      entry("FloatBruteVector", 14000, "uniform", 5e-6),
                      entry("CdcIndex", 4096, "path", 1e-7)])  # neither 14000 nor 2^20 and up: left out
        text = "\n".join(search_doc.goals(run))
        self.assertIn("CdcIndex over NanoflannKdTree at 14000, path queries: 0.50×", text)
        self.assertIn("CdcPrunedVector over FloatBruteVector at 14000, uniform queries: 1.20×", text)
        self.assertIn("CdcIndex at 14000: 12.5 bytes per location, build 0.25× the k-d tree's", text)
        self.assertNotIn("4096", text)

    def test_plot_has_a_block_per_search_and_kind(self):
        run = run_of([entry("CdcBrute", 1024, "path", 3e-6), entry("CdcBrute", 4096, "uniform", 9e-6)])
        commands = search_doc.plot_commands(run)
        self.assertIn("$CdcBrute_path << EOD\n1024 3\nEOD", commands)
        self.assertIn("$CdcBrute_uniform << EOD\n4096 9\nEOD", commands)

    def test_python_rows_follow_the_build_table_only_when_given(self):
        run = run_of([entry("CdcBrute", 1024, "path", 3e-6)])
        self.assertNotIn("## From Python", search_doc.document(run))
        python_run = {"context": {"date": "2026-01-02", "python": "3.11", "numpy": "1.24", "repeats": 3},
                      "rows": [{"table": "bundled 5 x 2", "search": "scipy cKDTree", "build_ms": 1.234,
                                "query_us": 0.5, "same": 2, "queries": 2},
                               {"table": "bundled 5 x 2", "search": "nearest", "build_ms": None, "query_us": 12.0,
                                "same": 1, "queries": 2}]}
        text = search_doc.document(run, python_run)
        self.assertIn("| bundled 5 x 2 | scipy cKDTree | 1.23 | 0.50 | 2/2 |\n| bundled 5 x 2 | nearest | - | 12.00 | 1/2 |",
                      text)


if __name__ == "__main__":
    unittest.main()
