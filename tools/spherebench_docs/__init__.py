"""Every Markdown table and picture of docs/ and README.md's short results,
rendered from saved results.

One loader (results.py) reads every JSON file: the benchmark suite's Google
Benchmark JSON, the program's `spherebench --repeat N --json` records and the
measures of accuracy-report and representations-report; it holds the one
rule that makes a figure of repetitions. The catalogue of searches and forms
comes from the suite's run itself (catalogue.py reads it from the run's
context), never from C++ sources. The other modules turn what they read into
tables (markdown.py, suite_tables.py, scale_doc.py, search_doc.py, search_plot.py,
forms_doc.py, accuracy_doc.py, program_tables.py, readme_tables.py) and
pictures (plots.py, labels.py). Standard library only; the pictures need
gnuplot. The command line is __main__.py: `python3 tools/spherebench_docs
--help`.

Imports run one way: results, markdown and labels import nothing of the
package; catalogue imports results; scale imports both; the documents import
those; readme_tables imports the documents it shares sentences with;
search_plot imports search_doc; plots imports results, search_plot,
suite_tables and labels; __main__ imports everything.
"""
