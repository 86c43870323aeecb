#!/usr/bin/env python3
"""spherebench's Python searches beside scipy's cKDTree and scikit-learn's
BallTree(metric="haversine"), on the same tables: prints a Markdown table,
and with --json saves its rows for docs/SEARCH.md (tools/make_docs.sh).

    PYTHONPATH=build/release/python /usr/bin/python3 benchmarks/python_search.py [--sizes N,...] [--queries M] [--repeats R] [--json FILE]

Tables: the bundled airports with the bundled flight line (path queries),
and at each size N (default the program's capacity, 14000, and 2^20) a table
of each of spherebench.table_kinds made by spherebench.random_table, the C++
query benchmarks' table of the same kind, count and seed, asked M queries
drawn near it (spherebench.near_queries; not for the uniform kind, where they
are uniform too) and M uniform ones (the C++ benchmarks' uniform queries,
from spherebench.uniform_query_seed). Three questions: the nearest location,
the 10 nearest (Index.query(k=10), cKDTree.query(k=10), BallTree.query(k=10))
and every location within 50 km (Index.within(km=50),
cKDTree.query_ball_point with the chord of 50 km as its radius,
BallTree.query_radius with 50 km in radians); the last of the first queries
only, as many as find at most 2^22 locations in all (within 50 km of a city
of 5 km, every location is). spherebench searches the stored pairs (the
index is built once by spherebench.Index); cKDTree searches the decoded unit
vectors, BallTree the latitudes and longitudes (radians) of the decoded
vectors. Each time is the least of R runs in processor time of the process
(every search here runs on one thread), which a machine shared with other
work disturbs less than elapsed time; a build is timed once per table, its
queries once per question and kind of query. nearest() does all its work in
the query column, the index it builds included, and is timed only where a
brute force makes at most 2^24 tests (one of 2^20 locations a query would
take the run minutes). "same" counts the queries answered at the locations
of the exact answer, found by spherebench's pruned scan, an exact search
apart from the index (the copies of a repeated site are one location, and
the order of the answers is not compared).
"""
import argparse
import json
import math
import platform
import time
from pathlib import Path

import numpy as np

import spherebench

DATA = Path(__file__).resolve().parents[1] / "data"
# nearest() is timed where a brute force of every query makes no more tests.
NEAREST_MOST_TESTS = 2**24
# The questions asked: the nearest, the K nearest, and all within KM km.
K, KM = 10, 50
NEAREST, K_NEAREST, WITHIN = "nearest", f"k={K}", f"within {KM} km"
# The within question is asked of as many queries as find at most this many
# locations in all.
WITHIN_MOST_FOUND = 2**22


def read_pairs(path):
    rows = [line.split()[:2] for line in path.read_text(encoding="utf-8").splitlines()
            if line and not line.startswith((";", "*"))]
    return np.array([[int(a) & 0xFFFFFFFF, int(b) & 0xFFFFFFFF] for a, b in rows], dtype=np.uint32)


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


def searches(table, query_count):
    """(name, build, {question: query}) of each search: build() makes what
    its queries take (no build: they take None), query(built, pairs) answers
    the question for every query pair."""
    rows = []
    if len(table) * query_count <= NEAREST_MOST_TESTS:
        rows += [(f"spherebench.nearest(search={s!r})", None,
                  {NEAREST: lambda _, q, s=s: spherebench.nearest(table, q, search=s)[0]}) for s in spherebench.searches]
    rows.append((f"spherebench.Index ({spherebench.Index(table[:1]).search})", lambda: spherebench.Index(table),
                 {NEAREST: lambda index, q: index.query(q)[0], K_NEAREST: lambda index, q: index.query(q, k=K)[0],
                  WITHIN: lambda index, q: index.within(q, KM)}))
    try:
        from scipy.spatial import cKDTree
        radius = math.sqrt(spherebench.km_to_chord(KM))  # the chord of KM km
        rows.append(("scipy cKDTree (decoded vectors)", lambda: cKDTree(spherebench.decode(table)),
                     {NEAREST: lambda tree, q: tree.query(spherebench.decode(q))[1],
                      K_NEAREST: lambda tree, q: tree.query(spherebench.decode(q), k=K)[1],
                      WITHIN: lambda tree, q: tree.query_ball_point(spherebench.decode(q), radius,
                                                                    return_sorted=True)}))
    except ImportError:
        pass
    try:
        from sklearn.neighbors import BallTree
        rows.append(('sklearn BallTree(metric="haversine")',
                     lambda: BallTree(latlong(spherebench.decode(table)), metric="haversine"),
                     {NEAREST: lambda tree, q: tree.query(latlong(spherebench.decode(q)), k=1)[1][:, 0],
                      K_NEAREST: lambda tree, q: tree.query(latlong(spherebench.decode(q)), k=K)[1],
                      WITHIN: lambda tree, q: tree.query_radius(latlong(spherebench.decode(q)),
                                                                KM / spherebench.earth_radius_km)}))
    except ImportError:
        pass
    return rows


def tables(sizes, query_count):
    """(kind, table, [(kind of query, queries)]) of every table measured."""
    uniform = spherebench.random_table("uniform", query_count, spherebench.uniform_query_seed)
    yield "bundled", read_pairs(DATA / "airports.ptc"), [("path", read_pairs(DATA / "flightline.lnc"))]
    for size in sizes:
        for kind in spherebench.table_kinds:
            queries = [("uniform", uniform)]
            if kind != "uniform":
                queries.insert(0, ("near", spherebench.near_queries(kind, query_count)))
            yield kind, spherebench.random_table(kind, size), queries


def questions_asked(table, pairs, exact_search):
    """{question: (the query pairs it is asked of, their exact answers)}:
    the pairs' first few only for WITHIN, as many as find at most
    WITHIN_MOST_FOUND locations in all (in a city every location is within
    KM of every query)."""
    exact = spherebench.Index(table, search=exact_search)
    sample = exact.within(pairs[:16], KM)
    each = max(1.0, sum(len(found) for found in sample) / len(sample))
    within_pairs = pairs[: max(1, min(len(pairs), int(WITHIN_MOST_FOUND / each)))]
    return {NEAREST: (pairs, spherebench.nearest(table, pairs, search=exact_search)[0]),
            K_NEAREST: (pairs, exact.query(pairs, k=K)[0]), WITHIN: (within_pairs, exact.within(within_pairs, KM))}


def same_count(table, question, found, exact):
    """The queries answered at the same locations as the exact answer (the
    copies of a repeated site are one location; their order aside)."""
    keys = (table[:, 0].astype(np.uint64) << np.uint64(32)) | table[:, 1]
    if question == NEAREST:
        return int(np.count_nonzero(keys[np.asarray(found)] == keys[exact]))
    if question == K_NEAREST:
        return int(np.count_nonzero(np.all(np.sort(keys[found], axis=1) == np.sort(keys[exact], axis=1), axis=1)))
    return sum(np.array_equal(np.sort(keys[np.asarray(f, dtype=np.int64)]), np.sort(keys[e]))
               for f, e in zip(found, exact))


def measure(kind, table, queries, repeats):
    """The rows of one table, a kind of query at a time: each search built
    once, then asked each question of each kind of query."""
    exact_search = "pruned" if "pruned" in spherebench.searches else "brute"
    built = [(name, asks) + (least_time(build, repeats) if build else (None, None))
             for name, build, asks in searches(table, max(len(pairs) for _, pairs in queries))]
    rows = []
    for query_kind, pairs in queries:
        label = f"{kind} {len(table)} x {len(pairs)}" + ("" if kind == "bundled" else f" {query_kind}")
        for question, (asked, exact) in questions_asked(table, pairs, exact_search).items():
            for name, asks, build_time, structure in built:
                if question not in asks:
                    continue
                query_time, found = least_time(lambda: asks[question](structure, asked), repeats)
                rows.append({"table": label, "kind": kind, "locations": len(table), "query_kind": query_kind,
                             "search": name, "question": question,
                             "build_ms": None if build_time is None else build_time * 1e3,
                             "query_us": query_time / len(asked) * 1e6,
                             "same": same_count(table, question, found, exact), "queries": len(asked)})
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--sizes", default=f"{spherebench.airport_capacity},{2**20}",
                        help="locations in the random tables, comma-separated (default the program's capacity "
                        "and 2^20)")
    parser.add_argument("--queries", type=int, default=spherebench.flight_line_capacity,
                        help="queries of each kind against a random table (default a flight line's capacity)")
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--json", help="also writes the rows and the run's context to this file")
    args = parser.parse_args()
    sizes = [int(size) for size in args.sizes.split(",")]
    if min(sizes) < 1 or args.queries < 1 or args.repeats < 1:
        parser.error("--sizes, --queries and --repeats must be at least 1")
    rows = []
    for kind, table, queries in tables(sizes, args.queries):
        rows += measure(kind, table, queries, args.repeats)
    print(markdown_table(rows))
    if args.json:
        context = {"date": time.strftime("%Y-%m-%d", time.gmtime()), "python": platform.python_version(),
                   "numpy": np.__version__, "cpu": platform.processor() or platform.machine(),
                   "repeats": args.repeats}
        Path(args.json).write_text(json.dumps({"context": context, "rows": rows}, indent=1) + "\n")


def markdown_table(rows):
    """The rows as docs/SEARCH.md shows them (tools/spherebench_docs renders
    the saved ones the same way)."""
    lines = ["| table | search | question | build (ms) | query (µs a point) | same answer |",
             "|---|---|---|---:|---:|---:|"]
    for r in rows:
        build = "-" if r["build_ms"] is None else f"{r['build_ms']:.2f}"
        lines.append(f"| {r['table']} | {r['search']} | {r['question']} | {build} | {r['query_us']:.2f} | "
                     f"{r['same']}/{r['queries']} |")
    return "\n".join(lines)


if __name__ == "__main__":
    main()
