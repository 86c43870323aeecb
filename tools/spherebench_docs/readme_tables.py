"""README.md's short results: the brute forces from the suite's runs (the
program's two forms on every processor, past the caches from the scale
study) and the searches that skip work from the query benchmarks, each cell
a span over the saved runs and each sentence computed from the same figures,
so that nothing said holds for some rows only."""
from . import scale, search_doc, suite_tables
from .markdown import table
from .results import load
from .search_doc import Comparison, counted, span

SIZE_NAMES = {1 << k: f"2^{k}" for k in range(31)}


def brute_rows(merged):
    """The program's forms' brute forces in L2, scalar and vector, over the
    processors that timed them."""
    rows = []
    for vector in (False, True):
        times, ratios, where = [], [], []
        for machine, m in sorted(merged.items()):
            suite = m["suite"]
            suite.ns = m["ns"]
            n = max(suite.sizes())
            first, second = (suite.vector if vector else suite.scalar)[suite.forms[0]], \
                (suite.vector if vector else suite.scalar)[suite.forms[1]]
            a, b = suite.get(first.benchmark, n), suite.get(second.benchmark, n)
            if a is not None and b is not None:
                times.append(a)
                ratios.append(b / a)
                where.append(machine + (f" ({m['target']})" if vector else ""))
        if times:
            rows.append([f"up to {n} (in L2), {'vector' if vector else 'scalar'}",
                         f"`{first.name}` ({first.form})", span(times),
                         f"{span(ratios, 1)} times faster than `{second.name}`",
                         f"all {len(merged)} processors" if len(where) == len(merged) else
                         f"{len(where)} of {len(merged)} processors: " + "; ".join(where)])
    return rows


def scale_row(run):
    """The fastest search past the caches, one query and batched, against the
    fastest search of the program's first form in the same run."""
    n, first = run.largest, run.catalogue.program_forms()[0].name
    rows = []
    for mode, what in (("One", "one query at a time"), ("Batch", f"batches of {run.batch}")):
        best = run.fastest_of_each_form(mode, 1)
        if not best:
            continue
        t = {form: run.t[(mode, s, n, 1)] for form, s in best.items()}
        fastest = min(t, key=t.get)
        if first not in t:
            against = f"{first} not timed so at {SIZE_NAMES.get(n, n)}"
        elif fastest == first:
            against = "the fastest of every form there"
        else:
            against = f"{t[first] / t[fastest]:.1f} times faster than `{best[first]}`, {first}'s fastest there"
        rows.append([f"{SIZE_NAMES.get(n, n)}, {what}, 1 thread", f"`{best[fastest]}` ({fastest}, "
                     f"{run.bytes[best[fastest]]} B)", "%.3g" % t[fastest], against, "the scale run"])
    return rows


def brute_part(scaling, machine_paths, scale_path):
    merged = suite_tables.merged_machines([scaling] + list(machine_paths))
    rows = brute_rows(merged) + scale_row(scale.Run(load(scale_path)))
    return ("Brute force, nanoseconds per proximity test over random tables, the least of the repetitions\n"
            "where a run kept them, else their median (`docs/scaling.json` and `docs/machines/`, by\n"
            "[PERFORMANCE.md](docs/PERFORMANCE.md); `docs/scale.json`, by [SCALE.md](docs/SCALE.md)):\n\n" +
            table(["tables", "search (form)", "ns per test", "compared with", "measured on"], rows, "llrll"))


def search_rows(run, table_kind=None):
    """Each exact index, and the fastest pruned scan of the program's first
    form, against the fastest other library's index of every case."""
    first = run.catalogue.program_forms()[0].name
    indexes = [s.name for f in run.catalogue.forms for s in run.catalogue.find(f, "index") if s.exact]
    pruned = {s.name for s in run.catalogue.find(first, "pruned")}
    cases = run.cases(table_kind)
    scans = [run.fastest(table_kind, n, k, lambda s: s.name in pruned)[1] for n, k in cases]
    rows = []
    for name in [s for s in indexes if s in run.searches] + sorted(set(filter(None, scans)), key=scans.count)[-1:]:
        c = Comparison(run, table_kind, name)
        times = [run.time(name, n, k, 1, table_kind) * 1e6 for n, k in cases if run.time(name, n, k, 1, table_kind)]
        sizes = [run.bytes[(name, table_kind, n)] for n in run.sizes if (name, table_kind, n) in run.bytes]
        rows.append([f"`{name}` ({run.catalogue[name].form})", span(times, None),
                     f"{span(c.ratios.values(), None)} times its time; faster in {len(c.ratios) - len(c.slower())} of "
                     f"{len(c.ratios)}", f"{span(c.builds, 1)} times faster" if c.builds else "nothing built",
                     span(sizes, 1) if sizes else str(run.catalogue[name].bytes)])
    return rows


def search_part(search_path):
    run = search_doc.Run(load(search_path))
    out = []
    for t in run.tables:
        anchors = [run.fastest(t, n, k, search_doc.anchors)[1] for n, k in run.cases(t)]
        on = f" on {t} tables" if t else ""
        out.append(f"Searches that skip work{on}, microseconds per query, one query at a time over "
                   f"{len(run.sizes)} sizes from\n{SIZE_NAMES.get(run.sizes[0], run.sizes[0])} to "
                   f"{SIZE_NAMES.get(run.sizes[-1], run.sizes[-1])} locations and queries {' and '.join(run.kinds)} "
                   f"({len(run.cases(t))} cases; the least of the repetitions of\nthe run saved in "
                   f"`docs/search.json`, by [SEARCH.md](docs/SEARCH.md); {run.context.get('cpu', '?')}, "
                   f"{run.context.get('vector_target', '?')}); every one of\nthem exact, the brute force's answer bit "
                   f"for bit, set against the fastest other library's index of\neach case ({counted(anchors)}):\n")
        out.append(table(["search (form)", "µs per query", "against the fastest other index", "build", "bytes per location"],
                         search_rows(run, t), "lrlll"))
        out.append("\n" + "\n".join(search_doc.answer(run, t)) + "\n")
    return "\n".join(out)


def parts(scaling, machine_paths, scale_path, search_path):
    """{marker name: generated text} of README.md."""
    return {"results-brute": brute_part(scaling, machine_paths, scale_path),
            "results-search": search_part(search_path)}
