#!/usr/bin/env python3
"""The tables and generated parts of the documents (tools/spherebench_docs):
the program forms against the fastest of the floors the run names, their
vector searches, the noisy mark, one row per
processor, the splice of generated parts into a hand-written document, the
forms' sentence and the placement of the map's labels."""
import json
import os
import tempfile
import unittest

from docs_samples import aggregate, context, iteration

from spherebench_docs import forms_doc, labels, markdown, program_tables, suite_tables  # noqa: E402
from spherebench_docs.results import figures  # noqa: E402


def results(machine, benchmarks):
    return {"context": context(machine), "benchmarks": benchmarks}


def suite_run(machine, cv=0.01):
    """Aggregates with minima at 14000 airports: the second floor is the fastest."""
    b = []
    for name, median, least in (("BM_PairScan", 3.0, 2.9), ("BM_PairFloorA", 3.6, 3.5), ("BM_PairFloorB", 3.2, 2.8),
                                ("BM_PairPort", 7.0, 6.0), ("BM_FixedScan", 30.0, 29.0), ("BM_FixedFloor", 30.0, 28.0)):
        name += "/airports:14000"
        b += [aggregate(name, "median", median * 1e-9), aggregate(name, "min", least * 1e-9), aggregate(name, "cv", cv)]
    for name, least in (("BM_PairLanes/airports:14000", 1.2), ("BM_FixedLanes/airports:14000", 6.0),
                        ("BM_PairLanesOn/SSE4/airports:14000", 2.4), ("BM_DecodeCdc", 8.0)):
        b += [aggregate(name, "min", least * 1e-9), aggregate(name, "cv", 0.2)]
    return results(machine, b)


class SuiteTables(unittest.TestCase):
    def write(self, data):
        f = tempfile.NamedTemporaryFile("w", suffix=".json", delete=False)
        json.dump(data, f)
        f.close()
        self.addCleanup(os.unlink, f.name)
        return f.name

    def test_minimum_before_median_before_single_run(self):
        ns = figures(results("m", [aggregate("A", "median", 5e-9), aggregate("A", "min", 4e-9),
                                   aggregate("B", "median", 5e-9), iteration("C", 7e-9)]))
        self.assertEqual([(ns[k], ns[k].kind) for k in "AB"], [(4, "min"), (5, "median")])
        self.assertEqual((round(ns["C"], 9), ns["C"].kind), (7, "run"))

    def test_the_program_forms_against_their_fastest_floors_named_by_the_run(self):
        suite = suite_tables.Suite(suite_run("m"))
        self.assertEqual(suite.fastest_floor("Pair", 14000), ("arrangement b", 2.8))
        table = suite_tables.scalar_table(suite)
        self.assertIn("| airports | PairScan | its fastest floor | PairScan / floor | its port | FixedScan |", table)
        self.assertIn("| 14000 | 2.90 | 2.80 (arrangement b) | 1.036 | 6.00 | 29.0 | 28.0 | 1.036 | 10.00 |", table)
        self.assertIn("* noisy", suite_tables.parts_list(suite))  # the vector searches' figures, cv 0.2
        vector = suite_tables.vector_table(suite)
        self.assertIn("| 14000 | 2.90 | 1.200* | 2.42 | 29.0 | 6.00* | 4.83 | 5.00 |", vector)
        self.assertIn("| 14000, SSE4 forced |  | 2.400* |", vector)

    def test_machines_table_one_row_per_machine_with_noisy_marks(self):
        a = self.write(suite_run("Zen 4", cv=0.06))
        b = self.write(results("Zen 4", [iteration("BM_PairPort/airports:14000", x * 1e-9) for x in (5.0, 5.1)]))
        c = self.write(suite_run("Xeon"))
        rows = [line for line in suite_tables.machines([a, b, c]).splitlines() if line.startswith("| ")][1:]
        self.assertEqual(len(rows), 2)
        xeon, zen4 = rows
        # The port's kept repetitions (least 5.0) replace the aggregates' minimum (6.0) of the first file only if
        # they rank before it: both are minima, so the first file's stands.
        self.assertEqual("| Zen 4 | 2026-12-07, load 1.50 | 2.90* | 2.80* (arrangement b) | 1.036 | 6.00* | 2.07 "
                         "| 1.200* (AVX2) | 10.00 |", zen4)
        self.assertTrue(xeon.startswith("| Xeon |"))


class Splice(unittest.TestCase):
    DOC = ("# Title\n\nProse.\n\n<!-- generated: one (by tools/make_docs.sh) -->\nold table\n"
           "<!-- end of generated: one -->\n\nMore prose.\n<!-- generated: two -->\nx\n<!-- end of generated: two -->\n")

    def test_replaces_only_the_named_parts_and_is_stable(self):
        once = markdown.splice(self.DOC, {"one": "| a |\n"})
        self.assertEqual(once, self.DOC.replace("old table", "| a |"))
        self.assertEqual(markdown.splice(once, {"one": "| a |\n"}), once)

    def test_a_part_without_markers_is_refused(self):
        with self.assertRaises(ValueError):
            markdown.splice(self.DOC, {"three": "x"})

    def test_table_alignment(self):
        self.assertEqual(markdown.table(["a", "b", "c"], [[1, "x", 2.5]], "lrl"),
                         "| a | b | c |\n|---|---:|---|\n| 1 | x | 2.5 |")


class FormsDocument(unittest.TestCase):
    def form(self, label, bytes_, benchmark):
        return {"label": label, "bytes": bytes_, "benchmark": benchmark}

    def test_the_cheapest_8_byte_form_and_the_faster_larger_ones(self):
        measures = {"forms": [self.form("pair", 8, "A"), self.form("fixed", 8, "B"), self.form("big", 24, "C"),
                              self.form("slow big", 16, "D")]}
        text = forms_doc.reading(measures, {"A": 2.0, "B": 16.0, "C": 1.0, "D": 3.0})
        self.assertIn("cheapest to search is pair: fixed (8 bytes) takes 8.00 times as long.", text)
        self.assertIn("Only larger forms are faster: big (24 bytes) takes 0.50 times as long.", text)
        self.assertEqual(forms_doc.missing_timing(measures, {"A": 1, "B": 1, "C": 1}), "D")


class ProgramTables(unittest.TestCase):
    def test_records_of_one_label_are_merged_and_their_least_ticks_taken(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        paths = []
        for i, runs in enumerate(([(20, 120), (18, 110)], [(19, 140)])):
            paths.append(os.path.join(folder.name, "bundled.%d.json" % i))
            with open(paths[-1], "w") as f:
                json.dump({"cpu": "C", "compiler": "g++", "airports": 5210, "points": 1000, "tests": 5210000,
                           "searches": {"cdc": "PairScan", "latlong": "FixedScan"},
                           "runs": [{"cdc_ticks": c, "latlong_ticks": ll} for c, ll in runs]}, f)
        lines = program_tables.table_of(["bundled=" + ",".join(paths), paths[1]]).splitlines()
        self.assertIn("| runs | PairScan | FixedScan | FixedScan / PairScan |", lines[-4])
        rows = lines[-2:]
        self.assertEqual(rows[0], "| bundled | 5210 × 1000 | 3 | 18 ms (3.45* ns) | 110 ms (21.1* ns) | 6.11 |")
        self.assertEqual(rows[1], "| bundled.1 | 5210 × 1000 | 1 | 19 ms (3.65 ns) | 140 ms (26.9 ns) | 7.37 |")


class Labels(unittest.TestCase):
    def test_labels_neither_overlap_nor_cover_the_path(self):
        area, ranges = (0.1, 0.9, 0.1, 0.9), (0, 10, 0, 10)
        path = [(x / 10, 5.0) for x in range(100)]
        listed = [(str(x), "5.2", "L%d" % i) for i, x in enumerate((4.0, 4.1, 4.2, 4.3))]
        lines = labels.place_labels(area, ranges, (0, 10, 0, 10), True, path, listed)
        self.assertEqual(len(lines), 4)
        frame = labels.Frame(area, ranges)
        boxes = []
        for line in lines:
            _, _, x, y, align, _, text = line.split()
            ax, ay, w = frame.px(float(x)), frame.py(float(y)), len(text.strip('"')) * labels.CHAR_WIDTH
            x0 = ax if align == "left" else ax - w
            box = (x0, ay - labels.LABEL_HEIGHT / 2, x0 + w, ay + labels.LABEL_HEIGHT / 2)
            for other in boxes:
                self.assertFalse(box[0] < other[2] and box[2] > other[0] and box[1] < other[3] and box[3] > other[1])
            self.assertFalse(any(box[0] < frame.px(px) < box[2] and box[1] < frame.py(py) < box[3] for px, py in path))
            boxes.append(box)

    def test_no_room_is_an_error(self):
        with self.assertRaises(labels.NoRoom):
            labels.place_labels((0.1, 0.101, 0.1, 0.101), (0, 1, 0, 1), (0, 1, 0, 1), True, [], [("0.5", "0.5", "X")])


if __name__ == "__main__":
    unittest.main()
