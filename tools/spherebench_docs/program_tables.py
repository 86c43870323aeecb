"""Tables of the program's own runs, from `spherebench --repeat N --json`
records: per record the least clock ticks of each pass, the nanoseconds per
test they make and the ratio of the two, the passes named by the searches
the record says they ran."""
import os

from .markdown import mark, table
from .results import NOISY_CV, ProgramRuns, load_program_runs


def row(runs):
    cells = [runs.label, "%d × %d" % (runs.record["airports"], runs.record["points"]), len(runs.ticks[runs.passes[0]])]
    for method, digits in zip(runs.passes, (2, 1)):
        ns = runs.ns_per_test(method)
        cells.append("%d ms (%s ns)" % (runs.least(method), mark(ns, "%.*f" % (digits, ns))))
    return cells + ["%.2f" % runs.ratio()]


def merged(argument):
    """The runs of "LABEL=FILE,FILE,..." as one record labelled LABEL, or of
    one FILE labelled by its name without ".json"."""
    label, _, files = argument.rpartition("=")
    paths = files.split(",")
    parts = [load_program_runs(p) for p in paths]
    record = dict(parts[0].record, runs=[r for part in parts for r in part.record["runs"]])
    return ProgramRuns(record, label or os.path.basename(paths[0]).removesuffix(".json"))


def table_of(arguments):
    """One row per argument (see merged)."""
    runs = [merged(a) for a in arguments]
    first = runs[0]
    names = [first.search(p) for p in first.passes[:2]]
    return (f"{first.record.get('cpu', '?')}, {first.record.get('compiler', '?')}; the least clock ticks of each pass "
            f"over the runs, * where the runs varied by more than {NOISY_CV * 100:.0f} %:\n\n" +
            table(["tables", "airports × points", "runs"] + names + [f"{names[1]} / {names[0]}"], [row(r) for r in runs]))
