"""The command line of tools/spherebench_docs (run as
`python3 tools/spherebench_docs COMMAND ...`):

  performance DOC.md SCALING.json MACHINE.json...
      rewrites the generated parts of DOC.md (docs/PERFORMANCE.md) from the
      suite's run and the runs of docs/machines/ (the suite's run is one of
      the processors)
  machines-readme README.md RUN.json...
      the table of docs/machines/README.md: what each saved run is
  readme README.md SCALING.json SEARCH.json MACHINE.json...
      rewrites README.md's short results from the saved runs
  accuracy MEASURES.json DOC.md
      docs/ACCURACY.md from the record of accuracy-report
  tables SCALING.json          prints those tables of one run
  scaling-plot SCALING.json OUT.png
  publish-index-scale RUN.jsonl OUT.jsonl
      copies a run of index-scale to OUT where it began on a quiet machine
      and finished
  scale SCALE.json DOC.md OUT.png [INDEX.jsonl INDEX.png]
      docs/SCALE.md and docs/scale.png from a run of the scale benchmarks
      (and its part on the indexes, with docs/index_scale.png, from a run of
      index-scale)
  search SEARCH.json DOC.md OUT.png [PYTHON.json]
      docs/SEARCH.md and docs/search.png from a run of the query benchmarks
      (and of benchmarks/python_search.py --json)
  forms MEASURES.json SCALING.json DOC.md [OUT.png]
      docs/REPRESENTATIONS.md and docs/representations.png from the record
      of representations-report and the suite's run
  path BUILD_DIR DATA_DIR OUT.png
      docs/path.png: the bundled path and the airports the program lists
  program [LABEL=]RECORD.json[,RECORD.json]...
      a table of `spherebench --repeat N --json` records, one row per argument
  publish IN.json OUT.json [--runs-only] [KEY=VALUE]...
      a new run saved as OUT.json, the pairs added to its context (and its
      aggregates dropped with --runs-only); refused, OUT.json left as it
      was, where the run shows other work on the machine (results.py,
      other_work)
  quiet                        fails where the machine's load now shows
      other work
  context RESULTS.json KEY     one value of a run's context

Every file written is made aside and renamed over the old one when done.
"""
import json
import os
import sys
import tempfile

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts

if __package__ in (None, ""):  # run as a folder: make the package importable
    sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    __package__ = "spherebench_docs"  # noqa: A001

from spherebench_docs import accuracy_doc, forms_doc, plots, program_tables, readme_tables, results  # noqa: E402
from spherebench_docs import index_scale_doc, scale, scale_doc, search_doc, suite_tables  # noqa: E402
from spherebench_docs.markdown import splice  # noqa: E402


def replace(path, content):
    """Writes the file (text or bytes) beside its place, then renames it there."""
    folder = os.path.dirname(os.path.abspath(path))
    binary = isinstance(content, bytes)
    with tempfile.NamedTemporaryFile("wb" if binary else "w", dir=folder, delete=False, suffix=".tmp") as f:
        f.write(content)
    os.chmod(f.name, 0o644)  # as any other file of the tree, not the temporary file's 0600
    os.replace(f.name, path)


def drawn(draw, output, *args):
    """Runs draw(*args, work, picture) in a working folder, then puts the
    picture in place."""
    with tempfile.TemporaryDirectory() as work:
        picture = os.path.join(work, "picture.png")
        draw(*args, work, picture)
        with open(picture, "rb") as f:
            replace(output, f.read())


def spliced(doc, parts):
    """Rewrites the generated parts of the document."""
    with open(doc) as f:
        text = f.read()
    replace(doc, splice(text, parts))


def performance(doc, scaling, *machines):
    spliced(doc, suite_tables.performance_parts(scaling, (scaling,) + machines))


def machines_readme(doc, *runs):
    spliced(doc, {"machine-runs": suite_tables.machine_files(runs, os.path.dirname(os.path.abspath(doc)))})


def readme(doc, scaling, search_path, *machines):
    spliced(doc, readme_tables.parts(scaling, machines, search_path))


def tables(scaling):
    for name, text in suite_tables.performance_parts(scaling, [scaling]).items():
        print(f"{name}:\n\n{text}\n")


def scale_documents(path, doc, png, index_path=None, index_png=None):
    run = scale.Run(results.load(path))
    drawn(plots.scale, png, run)
    index_run = index_scale_doc.load(index_path) if index_path else None
    if index_run and index_png:
        drawn(plots.index_scale, index_png, index_run)
    replace(doc, scale_doc.document(run, index_run))


def search_documents(path, doc, png, python_path=None):
    run = search_doc.Run(results.load(path))
    if not run.times:
        raise results.ResultsError(path + " holds no BM_Query results")
    drawn(plots.search, png, run)
    account = search_doc.saved_account(os.path.dirname(os.path.abspath(doc)))
    replace(doc, search_doc.document(run, results.load(python_path) if python_path else None, account))


def forms(measures_path, scaling, doc, png=None):
    measures, run = results.load(measures_path), results.load(scaling)
    missing = forms_doc.missing_timing(measures, results.figures(run))
    if missing:
        raise results.ResultsError("no figure of " + missing)
    if png:
        drawn(plots.representations, png, forms_doc.plot_rows(measures, run), run)
    replace(doc, forms_doc.document(measures, run))


def context_value(value):
    """A context entry as the run holds it: text as it is, the rest as JSON."""
    return value if isinstance(value, str) else json.dumps(value)


def publish(source, out, *args):
    run = results.with_context(results.load(source), [a for a in args if a != "--runs-only"], "--runs-only" in args)
    refusal = results.other_work(run["context"])
    if refusal:
        raise results.ResultsError(f"{refusal}. {out} is left as it was (the run stays in {source}); "
                                   "run again on a quiet machine")
    replace(out, json.dumps(run, indent=0))


def publish_index_scale(source, out):
    run = index_scale_doc.load(source)
    load = run.context.get("load_at_start", "?").split()[0]
    refusal = results.busy(float(load), int(run.context.get("cores", 1)), "the load as the run began was") \
        if load != "?" else "the run recorded no load as it began"
    if refusal or run.load_at_end is None:
        raise results.ResultsError(f"{refusal or 'the run did not finish'}. {out} is left as it was "
                                   f"(the run stays in {source})")
    with open(source) as f:
        replace(out, f.read())


def quiet():
    refusal = results.busy(os.getloadavg()[0], os.cpu_count(), "the load is")
    if refusal:
        raise results.ResultsError(refusal + ". Wait until it is quiet (uptime shows the load)")


COMMANDS = {
    "performance": (performance, 3, None),
    "machines-readme": (machines_readme, 2, None),
    "readme": (readme, 3, None),
    "accuracy": (lambda path, doc: replace(doc, accuracy_doc.document(results.load(path))), 2, 2),
    "tables": (tables, 1, 1),
    "scaling-plot": (lambda path, png: drawn(plots.scaling, png, results.load(path)), 2, 2),
    "scale": (scale_documents, 3, 5),
    "search": (search_documents, 3, 4),
    "forms": (forms, 3, 4),
    "path": (lambda build, data, png: drawn(plots.path, png, build, data), 3, 3),
    "program": (lambda *paths: print(program_tables.table_of(paths)), 1, None),
    "publish": (publish, 2, None),
    "publish-index-scale": (publish_index_scale, 2, 2),
    "quiet": (quiet, 0, 0),
    "context": (lambda path, key: print(context_value(results.load(path)["context"][key])), 2, 2),
}


def main(argv):
    if argv[1:2] in (["-h"], ["--help"]):
        print(__doc__)
        return
    if len(argv) < 2 or argv[1] not in COMMANDS:
        sys.exit(__doc__)
    command, least, most = COMMANDS[argv[1]]
    args = argv[2:]
    if len(args) < least or (most is not None and len(args) > most):
        sys.exit(__doc__)
    try:
        command(*args)
    except KeyError as e:
        sys.exit("spherebench_docs %s: missing %s" % (argv[1], e))
    except (OSError, ValueError, results.ResultsError) as e:
        sys.exit("spherebench_docs %s: %s" % (argv[1], e))


if __name__ == "__main__":
    main(sys.argv)
