#!/usr/bin/env python3
"""tools/spherebench_docs/search_doc.py and README's search table on made-up
runs of the query benchmarks: both spellings of the benchmarks' names (with
and without a kind of table), the least of the repetitions, the fastest
exact search (an anchor never), the program's index against the fastest
anchor of each case with every case where it is slower named, the build
table, and a table and an answer per kind of table."""
import unittest

from docs_samples import context

from spherebench_docs import readme_tables, search_doc, search_plot  # noqa: E402


def entry(search, size, kind, seconds, threads=1, table=None, **more):
    name = "BM_Query/%s%s/locations:%d/queries:%s" % (search, f"/table:{table}" if table else "", size, kind)
    if threads > 1:
        name += "/threads:%d" % threads
    return dict(name=name, run_name=name, run_type="iteration", per_query=seconds, **more)


def run_of(benchmarks):
    return search_doc.Run({"context": context(), "benchmarks": benchmarks})


class SearchDocTest(unittest.TestCase):
    def test_least_of_repetitions_and_the_answer(self):
        run = run_of([
            entry("PairScan", 1024, "path", 4e-6), entry("PairScan", 1024, "path", 3e-6),
            entry("FixedScan", 1024, "path", 30e-6),
            entry("PairTree", 1024, "path", 0.5e-6, build=1e-3, bytes_per_location=12.0),
            entry("FixedTree", 1024, "path", 1.0e-6, build=1e-3, bytes_per_location=16.0),
            entry("Borrowed", 1024, "path", 0.1e-6, build=2e-3, bytes_per_location=46.0, wrong=2),
            entry("PairTree", 1024, "path", 0.2e-6, threads=2),
            entry("Unknown", 1024, "path", 1e-9),  # not in the catalogue: left out
        ])
        self.assertEqual(run.time("PairScan", 1024, "path"), 3e-6)
        self.assertEqual(run.time("PairTree", 1024, "path", 2), 0.2e-6)
        self.assertNotIn("Unknown", run.searches)
        text = "\n".join(search_doc.answer(run))
        self.assertIn("The fastest exact search over the 1 case: PairTree in 1.", text)
        self.assertIn("PairTree takes 5.00 times the time per query of the fastest other library's index (Borrowed "
                      "in 1 of 1 cases): faster in 0 of 1, slower 5.0× at 1024, path; it builds 2.0 times faster. "
                      "It holds 12.0 bytes a location.", text)
        self.assertIn("Fixed's fastest search takes 2.00 times as long as Pair's.", text)
        doc = search_doc.document(run)
        self.assertIn("| Borrowed | 1024 | 2 | 46.0 | 2 |", doc)
        self.assertIn("| PairTree | 1024 | 1 | 12.0 | exact |", doc)

    def test_a_table_and_an_answer_per_kind_of_table_with_the_new_names(self):
        run = run_of([entry("PairTree", n, k, t, table=table) for table, t in (("uniform", 1e-6), ("clustered", 2e-6))
                      for n in (1024, 4096) for k in ("near", "uniform")] +
                     [entry("Borrowed", 1024, "near", 1.5e-6, table="clustered")])
        self.assertEqual((run.tables, run.kinds), (["uniform", "clustered"], ["near", "uniform"]))
        doc = search_doc.document(run)
        self.assertIn("### Clustered tables: 2 sizes, 2^10 and 2^12, near and uniform queries (4 cases)", doc)
        self.assertIn("## Time per query, one thread (clustered tables) (µs, near / uniform)", doc)
        self.assertIn("| PairTree | Pair | index | 2 / 2 | 2 / 2 |", doc)
        self.assertIn("PairTree takes 1.33 times the time per query of the fastest other library's index", doc)
        self.assertIn("| PairTree | Pair | index | 1 / 1 | 1 / 1 |", "\n".join(search_doc.time_table(run, 1, "uniform")))

    def test_index_rows_span_every_case_and_count_where_slower(self):
        run = run_of([entry("PairTree", 1024, "path", 0.2e-6, build=1e-3, bytes_per_location=12.5),
                      entry("PairTree", 4096, "path", 0.6e-6, build=2e-3, bytes_per_location=13.0),
                      entry("FixedTree", 1024, "path", 0.3e-6), entry("FixedTree", 4096, "path", 0.3e-6),
                      entry("Borrowed", 1024, "path", 0.4e-6, build=6e-3), entry("Borrowed", 4096, "path", 0.3e-6,
                                                                                 build=4e-3),
                      entry("PairSkip", 1024, "path", 1e-6), entry("PairSkip", 4096, "path", 3e-6)])
        rows = search_doc.index_rows(run)
        self.assertEqual(rows[0], ["`PairTree` (Pair)", "0.2 to 0.6", "0.5 to 2 times its time; faster in 1 of 2",
                                   "2.0 to 6.0 times faster", "12.5 to 13.0"])
        self.assertEqual(rows[-1][0::4], ["`PairSkip` (Pair)", "8"])
        self.assertEqual(rows[-1][3], "nothing built")
        # README's row: the two forms' indexes case by case, and the anchor of each case.
        self.assertEqual(readme_tables.index_rows(run), [[
            "`PairTree`, `FixedTree`: µs a query, uniform tables, 2 cases", "0.2 to 0.6", "0.3", "0.5 to 1.5",
            "0.3 to 0.4 (Borrowed in 2)", "1 of 2"]])

    def test_an_index_not_run_on_a_kind_of_table_has_no_row_there(self):
        run = run_of([entry("PairTree", 1024, "path", 1e-6), entry("Borrowed", 5210, "path", 1e-6, table="airports")])
        self.assertEqual(search_doc.index_rows(run, "airports"), [])
        self.assertIn("over the 1 case: none timed.", "\n".join(search_doc.answer(run, "airports")))

    def test_plot_a_panel_per_kind_of_table_with_the_indexes_and_that_tables_fastest_anchor(self):
        run = run_of([entry("PairTree", 1024, "path", 3e-6), entry("PairTree", 4096, "path", 9e-6),
                      entry("FixedTree", 1024, "path", 4e-6), entry("PairScan", 1024, "path", 1e-6),
                      entry("Borrowed", 1024, "path", 2e-6), entry("Lent", 1024, "path", 5e-6),
                      entry("PairTree", 1024, "near", 3e-6, table="towns"),
                      entry("Borrowed", 1024, "near", 6e-6, table="towns"),
                      entry("Lent", 1024, "near", 1e-6, table="towns")])
        self.assertEqual(search_plot.plotted(run, None), ["PairTree", "FixedTree", "Borrowed"])
        self.assertEqual(search_plot.plotted(run, "towns"), ["PairTree", "FixedTree", "Lent"])
        commands = search_plot.plot_commands(run)
        self.assertIn("$PairTree_0_0 << EOD\n1024 3\n4096 9\nEOD", commands)
        self.assertIn("$Lent_1_1 << EOD\n1024 1\nEOD", commands)
        self.assertNotIn("PairScan", commands)
        self.assertEqual(commands.count('set title "'), 2)
        for name in ("PairTree", "FixedTree", "Borrowed", "Lent", "path queries", "near queries"):
            self.assertEqual(commands.count(f'title "{name}"'), 1, name)

    def test_python_rows_follow_the_build_table_only_when_given(self):
        run = run_of([entry("PairScan", 1024, "path", 3e-6)])
        self.assertNotIn("## From Python", search_doc.document(run))
        python_run = {"context": {"date": "2026-01-02", "python": "3.11", "numpy": "1.24", "repeats": 3},
                      "rows": [{"table": "bundled 5 x 2", "search": "scipy cKDTree", "build_ms": 1.234,
                                "query_us": 0.5, "same": 2, "queries": 2},
                               {"table": "bundled 5 x 2", "search": "nearest", "build_ms": None, "query_us": 12.0,
                                "same": 1, "queries": 2}]}
        text = search_doc.document(run, python_run)
        self.assertIn("| bundled 5 x 2 | scipy cKDTree | 1.23 | 0.50 | 2/2 |\n| bundled 5 x 2 | nearest | - | 12.00 | 1/2 |",
                      text)
        # A run that asks other questions too names each row's; rows without one ask the nearest.
        python_run["rows"].append(dict(python_run["rows"][0], question="within 50 km", queries=1, same=0))
        text = search_doc.document(run, python_run)
        self.assertIn("| bundled 5 x 2 | scipy cKDTree | nearest | 1.23 | 0.50 | 2/2 |", text)
        self.assertIn("| bundled 5 x 2 | scipy cKDTree | within 50 km | 1.23 | 0.50 | 0/1 |", text)
        self.assertIn("within a distance is asked of the first queries only", text)


if __name__ == "__main__":
    unittest.main()
