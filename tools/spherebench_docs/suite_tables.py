"""The tables of docs/PERFORMANCE.md from the suite's runs: one run's
searches against their floors, its vector searches, and one row per
processor of the runs in docs/machines/. Searches are named as in the
catalogue (src/catalogue/search_catalogue.h), and the suite's benchmark of a
search is its name after BM_; runs saved under older names are read under
these (results.RENAMED)."""
import os

from .markdown import mark, table
from .results import NOISY_CV, least_ns, load, repetitions

# Every arrangement of the direction-cosine test that the suite has a floor for.
CDC_FLOORS = ("CdcFloor", "CdcFloorSelect", "CdcFloorConditional")
AT = "/airports:%d"


def best_cdc_floor(ns, n):
    """(arrangement, Figure) of the fastest direction-cosine floor the run has at n airports."""
    have = [(kind, ns["BM_" + kind + AT % n]) for kind in CDC_FLOORS if "BM_" + kind + AT % n in ns]
    name, figure = min(have, key=lambda k: float(k[1]))
    return (name[len("CdcFloor"):] or "array").lower(), figure


def sizes(ns):
    return sorted({int(name.split(":")[1]) for name in ns if name.startswith("BM_CdcBrute/")})


def taken(ns):
    kinds = {getattr(f, "kind", "run") for f in ns.values()}
    return {"min": "minima of the repetitions", "median": "medians of the repetitions",
            "run": "single runs"}[min(kinds, key=["min", "median", "run"].index)]


def ns_cell(f, digits):
    return mark(f, f"{f:.{digits}f}") if f is not None else "?"


def ratio(a, b):
    return f"{a / b:.2f}" if a is not None and b is not None else "?"


def about_run(results, ns):
    c = results["context"]
    loads = ", ".join("%.2f" % x for x in c.get("load_avg", []))
    return (f"{c.get('cpu', '?')}, {c['num_cpus']} CPUs at {c['mhz_per_cpu']} MHz, {c.get('compiler', '?')}; "
            f"run of {c['date'][:10]}, load average {loads} at the start; {taken(ns)}, CPU time, ns per test"
            + (f"; CdcBrute's arrangement: {c['cdc_arrangement']}" if "cdc_arrangement" in c else "") + ".")


def scalar_table(ns):
    """CdcBrute and LatLongBrute against their floors and the port, by airports."""
    rows = []
    for n in sizes(ns):
        get = lambda kind: ns.get("BM_" + kind + AT % n)  # noqa: E731
        cp, lp, lf, port = get("CdcBrute"), get("LatLongBrute"), get("LatLongFloor"), get("CdcPort")
        floor, cf = best_cdc_floor(ns, n)
        rows.append([n, ns_cell(cp, 2), f"{ns_cell(cf, 2)} ({floor})", f"{cp / cf:.3f}", ns_cell(port, 2),
                     ns_cell(lp, 1), ns_cell(lf, 1), f"{lp / lf:.3f}", f"{lp / cp:.2f}"])
    return table(["airports", "CdcBrute", "fastest cdc floor", "CdcBrute / floor", "cdc port", "LatLongBrute",
                  "lat/long floor", "LatLongBrute / floor", "LatLongBrute / CdcBrute"], rows)


def parts_list(ns):
    """The parts of a test timed alone, and the noisy mark's meaning."""
    lines = []
    for name, what in (("BM_DecodeCosines", "`decode_cosines` alone, per test"),
                       ("BM_DecodeCdc", "`decode_cdc` alone, per call"),
                       ("BM_FromFixedLatLongCosine", "`from_fixed` + `latlong_cosine` alone, per test"),
                       ("BM_ScalarSqrt", "scalar square root alone"),
                       ("BM_VectorSqrt", "vector square root alone, per lane"),
                       ("BM_VectorSqrtOn/AVX2", "vector square root alone on AVX2, per lane"),
                       ("BM_VectorStoredCosines", "vector conversions alone (both stored cosines of a pair)")):
        if name in ns:
            lines.append(f"- {what}: {mark(ns[name], f'{ns[name]:.3f} ns')}")
    if any(getattr(f, "noisy", False) for f in ns.values()):
        lines.append(f"- \\* noisy: the repetitions' coefficient of variation is above {NOISY_CV * 100:.0f} %")
    return "\n".join(lines)


def vector_table(results, ns):
    """The vector searches beside the scalar ones, by airports; None where the
    run has none."""
    rows = []
    for n in sizes(ns):
        cp, lp = ns["BM_CdcBrute" + AT % n], ns["BM_LatLongBrute" + AT % n]
        cv, lv = ns.get("BM_CdcBruteVector" + AT % n), ns.get("BM_LatLongBruteVector" + AT % n)
        if cv is None or lv is None:
            return None
        rows.append([n, ns_cell(cp, 2), ns_cell(cv, 3), f"{cp / cv:.2f}", ns_cell(lp, 1), ns_cell(lv, 2),
                     f"{lp / lv:.2f}", f"{lv / cv:.2f}"])
    for target in ("AVX2", "SSE4"):
        forced = ns.get(f"BM_CdcBruteVectorOn/{target}/airports:14000")
        if forced is not None:
            rows.append([f"14000, {target} forced", "", ns_cell(forced, 3), "", "", "", "", ""])
    return (f"Highway target {results['context'].get('vector_target', '?')}:\n\n" +
            table(["airports", "CdcBrute", "CdcBruteVector", "CdcBrute / vector", "LatLongBrute",
                   "LatLongBruteVector", "LatLongBrute / vector", "LatLongBruteVector / CdcBruteVector"], rows))


def latlong_agreement(results):
    """How often LatLongBruteVector, with SLEEF's sines, agrees with the exact
    search, as the suite checked before timing."""
    c = results["context"]

    def by_tables(key):  # "latlong_vector random, 1000 airports": random ones by size, then bundled
        tables, airports = key[len("latlong_vector "):].split(", ")
        return tables != "random", int(airports.split()[0])
    keys = sorted((k for k in c if k.startswith("latlong_vector ")), key=by_tables)
    return table(["tables", "LatLongBruteVector against LatLongBrute"],
                 [[k[len("latlong_vector "):], c[k]] for k in keys], "ll")


def machines(paths):
    """One row per processor (context "machine", else "cpu"), its files'
    figures merged: a minimum before a median before a single run."""
    rank = {"min": 0, "median": 1, "run": 2}
    merged = {}
    for path in paths:
        results = load(path)
        c = results["context"]
        m = merged.setdefault(c.get("machine", c.get("cpu", path)), {"ns": {}, "runs": [], "target": "?"})
        m["runs"].append(f"{c['date'][:10]}, load {c.get('load_avg', ['?'])[0]:.2f}")
        m["target"] = c.get("vector_target", m["target"])
        for name, fig in least_ns(results).items():
            if name not in m["ns"] or rank[fig.kind] < rank[m["ns"][name].kind]:
                m["ns"][name] = fig
    rows = []
    for machine, m in sorted(merged.items()):
        ns = m["ns"]
        get = ns.get
        floor, floor_ns = best_cdc_floor(ns, 14000)
        cp, port = get("BM_CdcBrute/airports:14000"), get("BM_CdcPort/airports:14000")
        cv, root = get("BM_CdcBruteVector/airports:14000"), get("BM_VectorSqrt")
        if m["target"] == "AVX2":  # the search's own target
            avx2 = ratio(cv, root)
        else:
            avx2 = ratio(get("BM_CdcBruteVectorOn/AVX2/airports:14000"), get("BM_VectorSqrtOn/AVX2"))
        rows.append([machine, "; ".join(sorted(set(m["runs"]))), ns_cell(cp, 2), f"{ns_cell(floor_ns, 2)} ({floor})",
                     f"{cp / floor_ns:.3f}", ns_cell(port, 2), ratio(port, cp), f"{ns_cell(cv, 3)} ({m['target']})",
                     ns_cell(root, 3), ratio(cv, root), avx2, ratio(get("BM_LatLongBrute/airports:14000"), cp)])
    return ("At 14000 airports, ns per test (the least of the repetitions where the runs kept them, else "
            f"medians; * noisy: coefficient of variation above {NOISY_CV * 100:.0f} %):\n\n" +
            table(["processor", "runs (date, load)", "CdcBrute", "fastest cdc floor", "CdcBrute / floor", "cdc port",
                   "port / CdcBrute", "CdcBruteVector (target)", "vector root", "CdcBruteVector / root",
                   "AVX2 vector / root", "LatLongBrute / CdcBrute"], rows, "ll" + "r" * 10))


def performance_parts(results_path, machine_paths):
    """{marker name: generated text} of docs/PERFORMANCE.md."""
    results = load(results_path)
    ns = least_ns(results)
    return {"suite-run": about_run(results, ns) + "\n\n" + scalar_table(ns) + "\n\n" + parts_list(ns),
            "vector-run": vector_table(results, ns) or "The run has no vector searches.",
            "latlong-agreement": latlong_agreement(results),
            "machines": machines(machine_paths)}


def machine_files(paths):
    """docs/machines/README.md's table: what each saved run is, from its own
    context and benchmarks."""
    rows = []
    for path in paths:
        results = load(path)
        c, b = results["context"], results["benchmarks"]
        every = repetitions(results) > 1 and any(x.get("run_type", "iteration") == "iteration" for x in b)
        kept = ("every one of " if every else "minima of " if any(x.get("aggregate_name") == "min" for x in b)
                else "medians of ")
        loads = ", ".join("%.2f" % x for x in c.get("load_avg", [])) or "?"
        rows.append([f"`{os.path.basename(path)}`", c.get("machine", c.get("cpu", "?")),
                     f"{c['date'][:16].replace('T', ' ')} UTC", loads, len({x.get('run_name', x['name']) for x in b}),
                     f"{kept}{repetitions(results)}", c.get("vector_target", "?")])
    return table(["file", "processor", "run", "load average", "benchmarks", "repetitions kept", "vector target"],
                 rows, "lllrrll")
