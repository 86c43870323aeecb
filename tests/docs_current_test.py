#!/usr/bin/env python3
"""The committed documents are what the saved results render to: the
generated parts of docs/PERFORMANCE.md and docs/machines/README.md, and
docs/SCALE.md, byte for byte (tools/make_docs.sh remakes them; the pictures
need gnuplot and are not checked here)."""
import glob
import os
import sys
import unittest

sys.dont_write_bytecode = True
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
from spherebench_docs import catalogue, results, scale, scale_doc, suite_tables  # noqa: E402
from spherebench_docs.markdown import splice  # noqa: E402

DOCS = os.path.join(ROOT, "docs")
MACHINES = sorted(glob.glob(os.path.join(DOCS, "machines", "*.json")))


def text(*path):
    with open(os.path.join(DOCS, *path)) as f:
        return f.read()


class CommittedDocuments(unittest.TestCase):
    def assert_current(self, committed, rendered, name):
        self.assertTrue(committed == rendered, f"{name} is not what the saved results render to: "
                        "run tools/make_docs.sh")

    def test_performance_tables(self):
        doc = text("PERFORMANCE.md")
        parts = suite_tables.performance_parts(os.path.join(DOCS, "scaling.json"), MACHINES)
        self.assert_current(doc, splice(doc, parts), "docs/PERFORMANCE.md")

    def test_machines_readme(self):
        doc = text("machines", "README.md")
        self.assert_current(doc, splice(doc, {"machine-runs": suite_tables.machine_files(MACHINES)}),
                            "docs/machines/README.md")

    def test_scale_document(self):
        searches = catalogue.load()
        run = scale.Run(results.load(os.path.join(DOCS, "scale.json")),
                        {name: searches[name].bytes for name in scale.ORDER})
        self.assert_current(text("SCALE.md"), scale_doc.document(run, searches), "docs/SCALE.md")


if __name__ == "__main__":
    unittest.main()
