#!/usr/bin/env python3
"""Tables from the benchmark suite's JSON output (--benchmark_out=FILE).

    report.py RESULTS.json          Markdown tables: ns per test of each pass and
                                    floor, pass/floor ratios, lat/long over cdc;
                                    the vector searches beside the passes when
                                    the run has them
    report.py --data RESULTS.json   the same figures as columns for gnuplot
                                    ("?" where the run has no vector search)

With --benchmark_repetitions the medians are used, else the single runs.
The results are read by suite_results.py.
"""
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts
from suite_results import load, per_test_ns, repetitions  # noqa: E402


def sizes(ns):
    return sorted({int(name.split(":")[1]) for name in ns if name.startswith("BM_CdcPass/")})


def row(ns, n):
    def get(kind):
        return ns[f"BM_{kind}/airports:{n}"]
    return n, get("CdcPass"), get("CdcFloor"), get("LatLongPass"), get("LatLongFloor")


def vector_row(ns, n):
    """(cdc vector, lat/long vector) ns per test, None where the run has none."""
    return tuple(ns.get(f"BM_{kind}/airports:{n}") for kind in ("CdcVectorPass", "LatLongVectorPass"))


def print_vector_tables(results, ns):
    rows = [(row(ns, n), vector_row(ns, n)) for n in sizes(ns)]
    if any(None in v for _, v in rows):
        return
    c = results["context"]
    print(f"\nVector searches (Highway target {c.get('vector_target', '?')}) beside the scalar passes, "
          "same run:\n")
    print("| airports | cdc pass | cdc floor | cdc vector | cdc pass/vector "
          "| lat/long pass | lat/long floor | lat/long vector | lat/long pass/vector "
          "| lat/long / cdc, scalar passes | lat/long / cdc, vector |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for (n, cp, cf, lp, lf), (cv, lv) in rows:
        print(f"| {n} | {cp:.2f} ns | {cf:.2f} ns | {cv:.3f} ns | {cp / cv:.2f} "
              f"| {lp:.1f} ns | {lf:.1f} ns | {lv:.2f} ns | {lp / lv:.2f} | {lp / cp:.2f} | {lv / cv:.2f} |")
    print()
    for name, what in (("BM_VectorSqrt", "vector square root alone, per lane"),
                       ("BM_ScalarSqrt", "scalar square root alone"),
                       ("BM_VectorStoredCosines", "vector conversions alone (both stored cosines of a pair)"),
                       ("BM_CdcVectorPassOn/AVX2/airports:14000", "cdc vector search forced onto AVX2, 14000 airports"),
                       ("BM_CdcVectorPassOn/SSE4/airports:14000", "cdc vector search forced onto SSE4, 14000 airports"),
                       ("BM_VectorSqrtOn/AVX2", "vector square root alone on AVX2, per lane")):
        if name in ns:
            print(f"- {what}: {ns[name]:.3f} ns")
    def by_tables(key):  # "latlong_vector random, 1000 airports": random ones by size, then bundled
        tables, airports = key[len("latlong_vector "):].split(", ")
        return tables != "random", int(airports.split()[0])
    for key in sorted((k for k in c if k.startswith("latlong_vector ")), key=by_tables):
        print(f"- lat/long vector search, {key[len('latlong_vector '):]}: {c[key]}")


def main(argv):
    data = argv[1:2] == ["--data"]
    paths = argv[2:] if data else argv[1:]
    if len(paths) != 1:
        sys.exit(__doc__)
    results = load(paths[0])
    ns = per_test_ns(results)
    if data:
        print("# airports cdc_pass cdc_floor latlong_pass latlong_floor cdc_vector latlong_vector (ns per test)")
        for n in sizes(ns):
            vector = " ".join("?" if v is None else "%.4f" % v for v in vector_row(ns, n))
            print("%d %.4f %.4f %.4f %.4f " % row(ns, n) + vector)
        return
    c = results["context"]
    reps = repetitions(results)
    taken = f"medians of {reps} repetitions" if reps > 1 else "single runs"
    print(f"Run of {c['date']} on {c['num_cpus']} CPUs at {c['mhz_per_cpu']} MHz, load average "
          f"{', '.join('%.2f' % x for x in c.get('load_avg', []))}; {taken}, CPU time.\n")
    print("| airports | cdc pass | cdc floor | cdc pass/floor | lat/long pass | lat/long floor "
          "| lat/long pass/floor | lat/long / cdc (passes) |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|")
    for n, cp, cf, lp, lf in (row(ns, n) for n in sizes(ns)):
        print(f"| {n} | {cp:.2f} ns | {cf:.2f} ns | {cp / cf:.3f} | {lp:.1f} ns | {lf:.1f} ns "
              f"| {lp / lf:.3f} | {lp / cp:.2f} |")
    print()
    rows = [row(ns, n) for n in sizes(ns)]
    for label, over in (("cdc", lambda r: r[1] / r[2]), ("lat/long", lambda r: r[3] / r[4])):
        missed = [str(r[0]) for r in rows if over(r) > 1.05]
        verdict = "at every airport count" if not missed else "missed at " + ", ".join(missed) + " airports"
        print(f"- {label} pass within 5 % of its floor: {verdict}")
    for name, what in (("BM_DecodeCosines", "decode_cosines alone"),
                       ("BM_DecodeCdc", "decode_cdc alone"),
                       ("BM_FromFixedLatLongCosine", "from_fixed + latlong_cosine alone")):
        if name in ns:
            print(f"- {what}: {ns[name]:.2f} ns per test")
    print_vector_tables(results, ns)


if __name__ == "__main__":
    main(sys.argv)
