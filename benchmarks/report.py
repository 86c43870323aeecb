#!/usr/bin/env python3
"""Tables from the benchmark suite's JSON output (--benchmark_out=FILE).

    report.py RESULTS.json          Markdown tables: ns per test of each pass and
                                    its fastest floor, pass/floor ratios, lat/long
                                    over cdc; the vector searches beside the
                                    passes when the run has them
    report.py --data RESULTS.json   the same figures as columns for gnuplot
                                    ("?" where the run has no vector search)
    report.py --machines RESULTS.json...
                                    one row per processor: the pass, its fastest
                                    floor, the port, the vector search and the
                                    square root at 14000 airports, and their
                                    ratios; files with the same context "cpu" are
                                    one processor

Each figure is the least of the repetitions where the run has it (the suite's
"min" statistic, or every repetition kept), else the median, else the single
run: on a shared machine the least time is the loop's own cost. A figure whose
coefficient of variation across repetitions is above 5 % is marked noisy (*).
The results are read by suite_results.py.
"""
import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from suite_results import NOISY_CV, least_ns as figures, load  # noqa: E402

# Every arrangement of the direction-cosine test that the suite has a floor for.
CDC_FLOORS = ("CdcFloor", "CdcFloorSelect", "CdcFloorConditional")


def best_cdc_floor(ns, n):
    """(name, Figure) of the fastest direction-cosine floor the run has at n airports."""
    have = [(kind, ns[f"BM_{kind}/airports:{n}"]) for kind in CDC_FLOORS if f"BM_{kind}/airports:{n}" in ns]
    return min(have, key=lambda k: float(k[1]))


def mark(figure, text):
    return text + ("*" if getattr(figure, "noisy", False) else "")


def taken(ns):
    kinds = {getattr(f, "kind", "run") for f in ns.values()}
    return {"min": "minima of the repetitions", "median": "medians of the repetitions",
            "run": "single runs"}[min(kinds, key=["min", "median", "run"].index)]


def sizes(ns):
    return sorted({int(name.split(":")[1]) for name in ns if name.startswith("BM_CdcPass/")})


def row(ns, n):
    def get(kind):
        return ns[f"BM_{kind}/airports:{n}"]
    return n, get("CdcPass"), best_cdc_floor(ns, n)[1], get("LatLongPass"), get("LatLongFloor")


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
        print(f"| {n} | {mark(cp, f'{cp:.2f} ns')} | {mark(cf, f'{cf:.2f} ns')} | {mark(cv, f'{cv:.3f} ns')} "
              f"| {cp / cv:.2f} | {mark(lp, f'{lp:.1f} ns')} | {mark(lf, f'{lf:.1f} ns')} "
              f"| {mark(lv, f'{lv:.2f} ns')} | {lp / lv:.2f} | {lp / cp:.2f} | {lv / cv:.2f} |")
    print()
    for name, what in (("BM_VectorSqrt", "vector square root alone, per lane"),
                       ("BM_ScalarSqrt", "scalar square root alone"),
                       ("BM_VectorStoredCosines", "vector conversions alone (both stored cosines of a pair)"),
                       ("BM_CdcVectorPassOn/AVX2/airports:14000", "cdc vector search forced onto AVX2, 14000 airports"),
                       ("BM_CdcVectorPassOn/SSE4/airports:14000", "cdc vector search forced onto SSE4, 14000 airports"),
                       ("BM_VectorSqrtOn/AVX2", "vector square root alone on AVX2, per lane")):
        if name in ns:
            print(f"- {what}: {mark(ns[name], f'{ns[name]:.3f} ns')}")
    for target, search, root in (("own", "BM_CdcVectorPass/airports:14000", "BM_VectorSqrt"),
                                 ("AVX2", "BM_CdcVectorPassOn/AVX2/airports:14000", "BM_VectorSqrtOn/AVX2")):
        if search in ns and root in ns:
            ratio = ns[search] / ns[root]
            print(f"- cdc vector search over the square root alone ({target} target, 14000 airports): {ratio:.2f}")
    def by_tables(key):  # "latlong_vector random, 1000 airports": random ones by size, then bundled
        tables, airports = key[len("latlong_vector "):].split(", ")
        return tables != "random", int(airports.split()[0])
    for key in sorted((k for k in c if k.startswith("latlong_vector ")), key=by_tables):
        print(f"- lat/long vector search, {key[len('latlong_vector '):]}: {c[key]}")


def print_run(results, ns):
    c = results["context"]
    print(f"Run of {c['date']} on {c['num_cpus']} CPUs at {c['mhz_per_cpu']} MHz, load average "
          f"{', '.join('%.2f' % x for x in c.get('load_avg', []))}; {taken(ns)}, CPU time"
          + (f"; the pass's arrangement: {c['cdc_arrangement']}" if "cdc_arrangement" in c else "") + ".\n")
    print("| airports | cdc pass | fastest cdc floor | cdc pass/floor | lat/long pass | lat/long floor "
          "| lat/long pass/floor | lat/long / cdc (passes) |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|")
    for n, cp, cf, lp, lf in (row(ns, n) for n in sizes(ns)):
        floor = best_cdc_floor(ns, n)[0][len("CdcFloor"):] or "array"
        print(f"| {n} | {mark(cp, f'{cp:.2f} ns')} | {mark(cf, f'{cf:.2f} ns')} ({floor.lower()}) | {cp / cf:.3f} "
              f"| {mark(lp, f'{lp:.1f} ns')} | {mark(lf, f'{lf:.1f} ns')} | {lp / lf:.3f} | {lp / cp:.2f} |")
    print()
    rows = [row(ns, n) for n in sizes(ns)]
    for label, over in (("cdc", lambda r: r[1] / r[2]), ("lat/long", lambda r: r[3] / r[4])):
        missed = [str(r[0]) for r in rows if over(r) > 1.05]
        verdict = "at every airport count" if not missed else "missed at " + ", ".join(missed) + " airports"
        print(f"- {label} pass within 5 % of its {'fastest ' if label == 'cdc' else ''}floor: {verdict}")
    for name, what in (("BM_DecodeCosines", "decode_cosines alone"),
                       ("BM_DecodeCdc", "decode_cdc alone"),
                       ("BM_FromFixedLatLongCosine", "from_fixed + latlong_cosine alone")):
        if name in ns:
            print(f"- {what}: {mark(ns[name], f'{ns[name]:.2f} ns')} per test")
    if any(getattr(f, "noisy", False) for f in ns.values()):
        print(f"- * noisy: the repetitions' coefficient of variation is above {NOISY_CV:.0%}")
    print_vector_tables(results, ns)


def machines(paths):
    """One row per processor (context "machine", else "cpu"), its files'
    figures merged: a minimum before a median before a single run."""
    rank = {"min": 0, "median": 1, "run": 2}
    merged = {}
    for path in paths:
        results = load(path)
        c = results["context"]
        m = merged.setdefault(c.get("machine", c.get("cpu", path)), {"ns": {}, "runs": [], "target": "?"})
        m["runs"].append(f"{c['date'][:16].replace('T', ' ')} load {c.get('load_avg', ['?'])[0]:.2f}")
        m["target"] = c.get("vector_target", m["target"])
        for name, fig in figures(results).items():
            if name not in m["ns"] or rank[fig.kind] < rank[m["ns"][name].kind]:
                m["ns"][name] = fig
    print("At 14000 airports, ns per test (the least of the repetitions where the runs kept them, "
          "else medians; * noisy: coefficient of variation above 5 %):\n")
    print("| processor | runs (UTC, load) | cdc pass | fastest cdc floor | pass/floor | cdc port | port/pass "
          "| cdc vector (target) | vector root | vector/root | AVX2 vector/root | lat/long / cdc |")
    print("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for machine, m in merged.items():
        ns = m["ns"]
        def cell(name, digits=2):
            return mark(ns[name], f"{ns[name]:.{digits}f}") if name in ns else "?"
        def ratio(a, b):
            return f"{ns[a] / ns[b]:.2f}" if a in ns and b in ns else "?"
        floor, floor_ns = best_cdc_floor(ns, 14000)
        pass_ = "BM_CdcPass/airports:14000"
        if m["target"] == "AVX2":  # the search's own target
            avx2 = ratio("BM_CdcVectorPass/airports:14000", "BM_VectorSqrt")
        else:
            avx2 = ratio("BM_CdcVectorPassOn/AVX2/airports:14000", "BM_VectorSqrtOn/AVX2")
        print(f"| {machine} | {'; '.join(m['runs'])} | {cell(pass_)} "
              f"| {mark(floor_ns, f'{floor_ns:.2f}')} ({(floor[len('CdcFloor'):] or 'array').lower()}) "
              f"| {ns[pass_] / floor_ns:.3f} | {cell('BM_CdcPort/airports:14000')} "
              f"| {ratio('BM_CdcPort/airports:14000', pass_)} "
              f"| {cell('BM_CdcVectorPass/airports:14000', 3)} ({m['target']}) | {cell('BM_VectorSqrt', 3)} "
              f"| {ratio('BM_CdcVectorPass/airports:14000', 'BM_VectorSqrt')} | {avx2} "
              f"| {ratio('BM_LatLongPass/airports:14000', pass_)} |")


def main(argv):
    if argv[1:2] == ["--machines"] and len(argv) > 2:
        machines(argv[2:])
        return
    data = argv[1:2] == ["--data"]
    paths = argv[2:] if data else argv[1:]
    if len(paths) != 1:
        sys.exit(__doc__)
    results = load(paths[0])
    ns = figures(results)
    if data:
        print("# airports cdc_pass cdc_floor latlong_pass latlong_floor cdc_vector latlong_vector (ns per test)")
        for n in sizes(ns):
            vector = " ".join("?" if v is None else "%.4f" % v for v in vector_row(ns, n))
            print("%d %.4f %.4f %.4f %.4f " % row(ns, n) + vector)
        return
    print_run(results, ns)


if __name__ == "__main__":
    main(sys.argv)
