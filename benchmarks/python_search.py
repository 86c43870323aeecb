#!/usr/bin/env python3
"""spherebench's Python searches beside scipy's cKDTree and scikit-learn's
BallTree(metric="haversine"), on the same tables: prints a Markdown table.

    PYTHONPATH=build/release/python /usr/bin/python3 benchmarks/python_search.py [--random N] [--queries M] [--repeats R]

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
    args = parser.parse_args()
    rng = np.random.default_rng(1)
    tables = [("bundled", read_pairs(DATA / "airports.ptc"), read_pairs(DATA / "flightline.lnc")),
              ("random", random_pairs(rng, args.random), random_pairs(rng, args.queries))]
    print("| table | search | build (ms) | query (µs a point) | same winner |")
    print("|---|---|---:|---:|---:|")
    for label, table, queries in tables:
        exact = spherebench.nearest(table, queries)[0]
        for name, build, query in searches(table, queries):
            build_time, built = least_time(build, args.repeats) if build else (None, None)
            query_time, found = least_time(lambda: query(built), args.repeats)
            same = np.count_nonzero(np.asarray(found) == exact)
            build_text = "-" if build_time is None else f"{build_time * 1e3:.2f}"
            print(f"| {label} {len(table)} x {len(queries)} | {name} | {build_text} "
                  f"| {query_time / len(queries) * 1e6:.2f} | {same}/{len(queries)} |")


if __name__ == "__main__":
    main()
