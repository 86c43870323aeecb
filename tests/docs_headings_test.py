#!/usr/bin/env python3
"""Each kind of table's section of docs/SEARCH.md says in its heading the
sizes, kinds of query and number of cases that its own one-thread table
holds, not those of the whole run: on the committed document and on a
made-up run whose kinds of table differ in both. The headings and tables are
read back from the Markdown, as a reader reads them."""
import os
import re
import unittest

from docs_samples import context

from spherebench_docs import search_doc  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
HEADING = re.compile(r"^### (?P<table>\w+) tables: (?P<count>\d+) sizes?(?: from (?P<low>\S+) to (?P<high>\S+)|, "
                     r"(?P<listed>.+?)), (?P<kinds>.+) queries \((?P<cases>\d+) cases?\)$", re.M)


def size(text):
    return 1 << int(text[2:]) if text.startswith("2^") else int(text)


def said(doc):
    """{kind of table: (sizes, first, last, kinds, cases)} from the headings."""
    out = {}
    for m in HEADING.finditer(doc):
        sizes = [size(s) for s in m["listed"].split(" and ")] if m["listed"] else [size(m["low"]), size(m["high"])]
        out[m["table"].lower()] = (int(m["count"]), sizes[0], sizes[-1], m["kinds"].split(" and "), int(m["cases"]))
    return out


def held(doc, table):
    """The same facts from the table kind's one-thread time table: the sizes
    of its columns, and which kinds of query have a figure in some row."""
    on = "" if table == "uniform" else f" ({table} tables)"
    m = re.search(r"^## Time per query, one thread%s \(µs, (?P<kinds>[^)]+)\)\n\n(?P<rows>(?:\|.*\n)+)" % re.escape(on),
                  doc, re.M)
    kinds = m["kinds"].split(" / ")
    lines = [line.strip("|").split(" | ") for line in m["rows"].strip().split("\n")]
    sizes = [int(c) for c in lines[0][3:]]
    cases = {(n, k) for row in lines[2:] for n, cell in zip(sizes, row[3:])
             for k, figure in zip(kinds, cell.split(" / ")) if figure.strip() != "–"}
    present = [k for k in kinds if any(k == c[1] for c in cases)]
    return len(sizes), sizes[0], sizes[-1], present, len(cases)


def entry(search, size_, kind, table=None):
    name = "BM_Query/%s%s/locations:%d/queries:%s" % (search, f"/table:{table}" if table else "", size_, kind)
    return dict(name=name, run_name=name, run_type="iteration", per_query=1e-6)


class SectionHeadings(unittest.TestCase):
    def check(self, doc):
        headings = said(doc)
        self.assertTrue(headings, "no section headings found")
        for table, facts in headings.items():
            with self.subTest(table):
                self.assertEqual(facts, held(doc, table))

    def test_the_committed_document(self):
        with open(os.path.join(ROOT, "docs", "SEARCH.md")) as f:
            self.check(f.read())

    def test_kinds_of_table_with_their_own_sizes_and_queries(self):
        benchmarks = [entry("PairTree", n, k) for n in (1024, 4096, 65536) for k in ("path", "uniform")]
        benchmarks += [entry("PairTree", n, "near", "towns") for n in (14000, 1 << 20)]
        benchmarks += [entry("Borrowed", 5210, "path", "airports")]
        doc = search_doc.document(search_doc.Run({"context": context(), "benchmarks": benchmarks}))
        self.check(doc)
        self.assertEqual(sorted(said(doc)), ["airports", "towns", "uniform"])
        self.assertEqual(said(doc)["towns"], (2, 14000, 1 << 20, ["near"], 2))


if __name__ == "__main__":
    unittest.main()
