"""Every Markdown table and picture of docs/, rendered from saved results.

One loader (results.py) reads the benchmark suite's Google Benchmark JSON and
the program's `spherebench --repeat N --json` records; the other modules turn
what it reads into tables (markdown.py, suite_tables.py, scale_doc.py,
forms_doc.py, program_tables.py) and pictures (plots.py, labels.py).
Standard library only; the pictures need gnuplot. The command line is
__main__.py: `python3 tools/spherebench_docs --help`.

Imports run one way: results, markdown, catalogue and labels import nothing
of the package; scale imports results; the documents (suite_tables,
scale_doc, forms_doc, program_tables) import those; plots imports results,
scale, suite_tables and labels; __main__ imports everything.
"""
