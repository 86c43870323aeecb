"""README.md's short results: one table that answers the project's question,
the program's two stored forms side by side, by brute force from the suite's
runs (every processor) and by index from the query benchmarks (every kind of
table), each cell a span over the saved runs' figures, so that nothing said
holds for some rows only."""
from . import search_doc, suite_tables
from .markdown import table
from .results import load
from .search_doc import counted, span


def brute_rows(merged):
    """The program's forms' brute forces at the largest table the suite
    times, scalar and vector, over the processors that timed them."""
    rows = []
    for vector in (False, True):
        first, second, where = [], [], []
        for machine, m in sorted(merged.items()):
            suite = m["suite"]
            suite.ns = m["ns"]
            n = max(suite.sizes())
            searches = [(suite.vector if vector else suite.scalar)[f] for f in suite.forms[:2]]
            a, b = (suite.get(s.benchmark, n) for s in searches)
            if a is not None and b is not None:
                first.append(a)
                second.append(b)
                where.append(m["target"] if vector else machine)
        if first:
            how = f"in vectors ({', '.join(sorted(set(where)))})" if vector else "scalar"
            rows.append([f"`{searches[0].name}`, `{searches[1].name}`: brute force {how}, ns a test at {n} "
                         f"locations, {search_doc.plural(len(where), 'processor')}", span(first, None),
                         span(second, None), span([y / x for x, y in zip(first, second)], 1), "–", "–"])
    return rows


def index_rows(run):
    """The program's forms' indexes, µs a query over every case of each kind
    of table, beside the fastest other library's index of each case."""
    indexes = [next((s.name for s in run.catalogue.find(f.name, "index") if s.name in run.searches), None)
               for f in run.catalogue.program_forms()[:2]]
    if None in indexes:
        return []
    rows = []
    for t in run.tables:
        cases = [(n, k) for n, k in run.cases(t) if all(run.time(s, n, k, 1, t) for s in indexes)]
        if not cases:
            continue
        a, b = ([run.time(s, n, k, 1, t) * 1e6 for n, k in cases] for s in indexes)
        anchors = [run.fastest(t, n, k, search_doc.anchors) for n, k in cases]
        other, faster = "–", "–"
        if all(name for _, name in anchors):
            other = f"{span([at * 1e6 for at, _ in anchors], None)} ({counted(name for _, name in anchors)})"
            faster = f"{sum(mine < at * 1e6 for mine, (at, _) in zip(a, anchors))} of {len(cases)}"
        rows.append([f"`{indexes[0]}`, `{indexes[1]}`: µs a query, {search_doc.table_name(t)} tables, "
                     f"{search_doc.plural(len(cases), 'case')}", span(a, None), span(b, None),
                     span([y / x for x, y in zip(a, b)], 1), other, faster])
    return rows


def short_part(scaling, machine_paths, search_path):
    merged = suite_tables.merged_machines([scaling] + list(machine_paths))
    run = search_doc.Run(load(search_path))
    first, second = (f.name for f in run.catalogue.program_forms()[:2])
    return ("The least of the repetitions of the runs saved in `docs/`, each cell the span over the\n"
            "processors or the cases of its row (brute force: [PERFORMANCE.md](docs/PERFORMANCE.md); indexes:\n"
            "[SEARCH.md](docs/SEARCH.md), which names each kind of table's sizes and queries):\n\n" +
            table(["search", first, second, f"{second} ÷ {first}", "fastest other library's index",
                   f"{first} faster in"], brute_rows(merged) + index_rows(run), "lrrrlr"))


def parts(scaling, machine_paths, search_path):
    """{marker name: generated text} of README.md."""
    return {"results-short": short_part(scaling, machine_paths, search_path)}
