#!/usr/bin/env python3
"""The committed documents are what the saved results render to, byte for
byte: the generated parts of docs/PERFORMANCE.md, docs/machines/README.md and
README.md (its short results), docs/SCALE.md and docs/SEARCH.md
(tools/make_docs.sh remakes them; the pictures need gnuplot and are not
checked here, ACCURACY.md and REPRESENTATIONS.md are checked against their
tools' records by the tests accuracy_document and representations_document)."""
import glob
import os
import unittest

import docs_samples  # noqa: F401 (the package's path)

from spherebench_docs import index_scale_doc, readme_tables, results, scale, scale_doc  # noqa: E402
from spherebench_docs import search_doc, suite_tables  # noqa: E402
from spherebench_docs.markdown import splice  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
DOCS = os.path.join(ROOT, "docs")
SCALING = os.path.join(DOCS, "scaling.json")
MACHINES = sorted(glob.glob(os.path.join(DOCS, "machines", "*.json")))


def text(*path):
    with open(os.path.join(ROOT, *path)) as f:
        return f.read()


def rendered():
    """{document: (committed text, text the saved results render)}."""
    performance, machines, readme = text("docs", "PERFORMANCE.md"), text("docs", "machines", "README.md"), \
        text("README.md")
    search = results.load(os.path.join(DOCS, "search.json"))
    return {
        "docs/PERFORMANCE.md": (performance, splice(performance, suite_tables.performance_parts(SCALING,
                                                                                                [SCALING] + MACHINES))),
        "docs/machines/README.md": (machines, splice(machines, {"machine-runs": suite_tables.machine_files(
            [SCALING] + MACHINES, os.path.join(DOCS, "machines"))})),
        "README.md": (readme, splice(readme, readme_tables.parts(SCALING, MACHINES, os.path.join(DOCS, "search.json")))),
        "docs/SCALE.md": (text("docs", "SCALE.md"),
                          scale_doc.document(scale.Run(results.load(os.path.join(DOCS, "scale.json"))),
                                             index_scale_doc.load(os.path.join(DOCS, "index_scale.jsonl")))),
        "docs/SEARCH.md": (text("docs", "SEARCH.md"), search_doc.document(
            search_doc.Run(search), results.load(os.path.join(DOCS, "python_search.json")),
            search_doc.saved_account(DOCS))),
    }


class CommittedDocuments(unittest.TestCase):
    def test_every_document_is_what_the_saved_results_render_to(self):
        for name, (committed, made) in rendered().items():
            with self.subTest(name):
                self.assertTrue(committed == made, f"{name} is not what the saved results render to: "
                                "run tools/make_docs.sh")


if __name__ == "__main__":
    unittest.main()
