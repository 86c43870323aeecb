#!/usr/bin/env python3
"""Where the binaries and the documents' renderer meet, a field or a name
renamed on one side fails here.

ProgramRecord: the package reads the record that `spherebench --json` writes
on the bundled data (SPHEREBENCH_PROGRAM names the program), and every field
of the record is described, in its order, by README.md's `--json` row.

SuiteFacts: every benchmark name the documents ask of the saved runs, and
every name those runs hold, is one that today's suite registers
(`--benchmark_list_tests`), and every context entry and kind of search the
documents read is one that today's suite writes (SPHEREBENCH_SUITE names the
suite).

    SPHEREBENCH_PROGRAM=build/release/spherebench python3 tests/docs_contract_test.py ProgramRecord
"""
import glob
import os
import subprocess
import tempfile
import unittest

import docs_samples  # noqa: F401 (the package's path)
from docs_current_test import DOCS, ROOT, rendered

from spherebench_docs import program_tables, results  # noqa: E402


def program_record(folder, *options):
    path = os.path.join(folder, "run.json")
    subprocess.run([os.environ["SPHEREBENCH_PROGRAM"], *options, "--json", path, os.path.join(ROOT, "data")],
                   check=True, capture_output=True)
    return path


class ProgramRecord(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def test_the_package_reads_the_record_the_program_writes(self):
        path = program_record(self.folder.name, "--repeat", "2")
        runs = results.load_program_runs(path)
        self.assertEqual((len(runs.ticks["cdc"]), runs.tests), (2, runs.record["airports"] * runs.record["points"]))
        header = program_tables.table_of([path]).splitlines()[2]
        self.assertIn("| %s | %s |" % (runs.search("cdc"), runs.search("latlong")), header)

    def test_readme_describes_every_field_in_its_order(self):
        with open(os.path.join(ROOT, "README.md")) as f:
            row = next(line for line in f if line.startswith("| `--json FILE` |"))
        for options in ((), ("--search", "indexed")):
            record = results.load(program_record(self.folder.name, *options))
            places = [row.find("`%s`" % key) for key in record]
            self.assertNotIn(-1, places, "a field README's --json row does not describe: %s" %
                             [k for k, p in zip(record, places) if p < 0])
            self.assertEqual(places, sorted(places), "README's --json row lists the fields in another order")


def registered_names():
    """Every benchmark today's suite registers, at every size it can."""
    env = dict(os.environ, SPHEREBENCH_SCALE_MAX=str(1 << 24))
    listed = subprocess.run([os.environ["SPHEREBENCH_SUITE"], "--benchmark_list_tests"], env=env, check=True,
                            capture_output=True, text=True).stdout
    return set(listed.split())


def fresh_context(folder):
    """The context of a short run of today's suite (one benchmark)."""
    path = os.path.join(folder, "run.json")
    subprocess.run([os.environ["SPHEREBENCH_SUITE"], "--benchmark_filter=^BM_DecodeCdc$", "--benchmark_min_time=0.001",
                    "--benchmark_out=" + path, "--benchmark_out_format=json"], check=True, capture_output=True)
    return results.load(path)["context"]


class SuiteFacts(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.registered = registered_names()
        for asked in results.ASKED.values():
            asked.clear()
        rendered()  # every document the saved runs make, noting what it asks of them

    def test_every_name_the_documents_ask_for_is_registered(self):
        self.assertTrue(results.ASKED["benchmarks"])
        self.assertEqual(sorted(results.ASKED["benchmarks"] - self.registered), [])

    def test_the_saved_runs_hold_only_registered_names(self):
        for path in glob.glob(os.path.join(DOCS, "*.json")) + glob.glob(os.path.join(DOCS, "machines", "*.json")):
            run = results.load(path)
            names = {b.get("run_name", b.get("name")) for b in run.get("benchmarks", [])}
            with self.subTest(os.path.relpath(path, ROOT)):
                self.assertEqual(sorted(names - self.registered), [])

    def test_every_context_entry_the_documents_read_is_written(self):
        with tempfile.TemporaryDirectory() as folder:
            context = fresh_context(folder)
        self.assertTrue(results.ASKED["context"])
        missing = [k for k in results.ASKED["context"] if not isinstance(context.get(k), (dict, list))]
        self.assertEqual(missing, [])
        kinds = {s["kind"] for s in context["catalogue"]["searches"]}
        self.assertEqual(sorted(results.ASKED["kinds"] - kinds - {None}), [])


if __name__ == "__main__":
    unittest.main()
