#!/usr/bin/env python3
"""spherebench's Python searches beside scipy's cKDTree and scikit-learn's
BallTree(metric="haversine"), on the same tables: prints a Markdown table,
and with --json saves its rows for docs/SEARCH.md (tools/make_docs.sh).

    PYTHONPATH=build/release/python /usr/bin/python3 benchmarks/python_search.py [--random N] [--queries M] [--repeats R] [--json FILE]

Tables: the bundled airports with the bundled flight line, and N random
directions with M random query points. spherebench searches the stored pairs
(the index is built once by spherebench.Index); cKDTree searches the decoded
unit vectors, BallTree the latitudes and longitudes (radians) of the decoded
vectors. Each time is the least of R runs in processor time of the process
(every search here runs on one thread), which a machine shared with other
work disturbs less than elapsed time. nearest() does all its work in the
query column, the index it builds included; "same winner" counts the
queries whose answer is spherebench's exact one.
"""
import argparse
import json
import platform
import time
from pathlib import Path

import numpy as np

import spherebench

DATA = Path(__file__).resolve().parents[1] / "data"


def read_pairs(path):
    rows = [line.split()[:2] for line in path.read_text(encoding="utf-8").splitlines()
            if line and not line.startswith((";", "*"))]
    return np.array([[int(a) & 0xFFFFFFFF, int(b) & 0xFFFFFFFF] for a, b in rows], dtype=np.uint32)


def random_pairs(rng, count):
    latitudes = np.degrees(np.arcsin(rng.uniform(-1, 1, count)))
    return spherebench.encode(latitudes, rng.uniform(-180, 180, count))


def least_time(call, repeats):
    best, result = float("inf"), None
    for _ in range(repeats):
        start = time.process_time()
        result = call()
        best = min(best, time.process_time() - start)
    return best, result


def latlong(vectors):
    return np.stack([np.arctan2(vectors[:, 2], np.hypot(vectors[:, 0], vectors[:, 1])),
                     np.arctan2(vectors[:, 1], vectors[:, 0])], axis=1)


def searches(table, queries):
    """(name, build, query) of each search; build returns what query takes."""
    rows = [(f"spherebench.nearest(search={s!r})", None,
             lambda _, s=s: spherebench.nearest(table, queries, search=s)[0]) for s in spherebench.searches]
    rows.append((f"spherebench.Index ({spherebench.Index(table).search})", lambda: spherebench.Index(table),
                 lambda index: index.query(queries)[0]))
    try:
        from scipy.spatial import cKDTree
        vectors, query_vectors = spherebench.decode(table), spherebench.decode(queries)
        rows.append(("scipy cKDTree (decoded vectors)", lambda: cKDTree(vectors),
                     lambda tree: tree.query(query_vectors)[1]))
    except ImportError:
        pass
    try:
        from sklearn.neighbors import BallTree
        angles, query_angles = latlong(spherebench.decode(table)), latlong(spherebench.decode(queries))
        rows.append(('sklearn BallTree(metric="haversine")', lambda: BallTree(angles, metric="haversine"),
                     lambda tree: tree.query(query_angles, k=1)[1][:, 0]))
    except ImportError:
        pass
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--random", type=int, default=100000, help="directions in the random table")
    parser.add_argument("--queries", type=int, default=1000, help="query points against the random table")
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--json", help="also writes the rows and the run's context to this file")
    args = parser.parse_args()
    rng = np.random.default_rng(1)
    tables = [("bundled", read_pairs(DATA / "airports.ptc"), read_pairs(DATA / "flightline.lnc")),
              ("random", random_pairs(rng, args.random), random_pairs(rng, args.queries))]
    rows = []
    for label, table, queries in tables:
        exact = spherebench.nearest(table, queries)[0]
        for name, build, query in searches(table, queries):
            build_time, built = least_time(build, args.repeats) if build else (None, None)
            query_time, found = least_time(lambda: query(built), args.repeats)
            rows.append({"table": f"{label} {len(table)} x {len(queries)}", "search": name,
                         "build_ms": None if build_time is None else build_time * 1e3,
                         "query_us": query_time / len(queries) * 1e6,
                         "same": int(np.count_nonzero(np.asarray(found) == exact)), "queries": len(queries)})
    print(markdown_table(rows))
    if args.json:
        context = {"date": time.strftime("%Y-%m-%d", time.gmtime()), "python": platform.python_version(),
                   "numpy": np.__version__, "cpu": platform.processor() or platform.machine(),
                   "repeats": args.repeats}
        Path(args.json).write_text(json.dumps({"context": context, "rows": rows}, indent=1) + "\n")


def markdown_table(rows):
    """The rows as docs/SEARCH.md shows them (tools/spherebench_docs renders
    the saved ones the same way)."""
    lines = ["| table | search | build (ms) | query (µs a point) | same winner |", "|---|---|---:|---:|---:|"]
    for r in rows:
        build = "-" if r["build_ms"] is None else f"{r['build_ms']:.2f}"
        lines.append(f"| {r['table']} | {r['search']} | {build} | {r['query_us']:.2f} | {r['same']}/{r['queries']} |")
    return "\n".join(lines)


if __name__ == "__main__":
    main()
