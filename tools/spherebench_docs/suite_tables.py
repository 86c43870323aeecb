"""The tables of docs/PERFORMANCE.md from the suite's runs: the program's two
brute-force searches against their floors and the port, their vector forms,
and one row per processor of the runs in docs/machines/. The searches, their
forms, the floors and the port are the ones the run's context names
(catalogue.py, "floors", "ports"); a search's benchmark is its catalogue
entry's, timed at each airport count (".../airports:N")."""
import os
import re

from . import catalogue
from .markdown import mark, table
from .results import NOISY_CV, Figures, context_facts, figures, load, repetitions, taken

# The parts of a test the suite times alone.
PARTS = (("BM_DecodeCosines", "`decode_cosines` alone, per test"),
         ("BM_DecodeCdc", "`decode_cdc` alone, per call"),
         ("BM_FromFixedLatLongCosine", "`from_fixed` + `latlong_cosine` alone, per test"))


def at(benchmark, n):
    return "%s/airports:%d" % (benchmark, n)


class Suite:
    """A suite run read for the tables: its figures (ns per test), its
    catalogue, and the program's forms with their brute-force searches,
    floors and port."""

    def __init__(self, results):
        self.results, self.ns, self.catalogue = results, figures(results), catalogue.of(results)
        self.floors, self.ports = context_facts(results, "floors"), context_facts(results, "ports")
        self.forms = [f.name for f in self.catalogue.program_forms()]
        self.scalar = {f: self.catalogue.brute(f) for f in self.forms}
        self.vector = {f: self.catalogue.brute(f, vector=True) for f in self.forms}

    def get(self, benchmark, n=None):
        return self.ns.get(benchmark if n is None else at(benchmark, n))

    def sizes(self):
        """The airport counts the first form's search was timed at."""
        pattern = re.compile(re.escape(self.scalar[self.forms[0]].benchmark) + r"/airports:(\d+)")
        return sorted(int(m[1]) for name in self.ns if (m := pattern.fullmatch(name)))

    def fastest_floor(self, form, n):
        """(what it is, Figure) of the form's fastest floor at n airports: its
        arrangement where the form has several."""
        floors = self.floors[form]
        have = [(f.get("arrangement", "") if len(floors) > 1 else "", self.get(f["benchmark"], n)) for f in floors]
        return min(((label, f) for label, f in have if f is not None), key=lambda x: float(x[1]), default=("", None))


def ns_cell(f, digits):
    return mark(f, f"{f:.{digits}f}") if f is not None else "?"


def ratio(a, b, digits=2):
    return f"{a / b:.{digits}f}" if a is not None and b is not None else "?"


def floor_cell(label, f, digits):
    return ns_cell(f, digits) + (f" ({label})" if label else "")


def about_run(suite):
    c = suite.results["context"]
    loads = ", ".join("%.2f" % x for x in c.get("load_avg", []))
    return (f"{c.get('cpu', '?')}, {c['num_cpus']} CPUs at {c['mhz_per_cpu']} MHz, {c.get('compiler', '?')}; "
            f"run of {c['date'][:10]}, load average {loads} at the start; the {taken(suite.ns)} of the repetitions, CPU time, ns per test"
            + (f"; the direction-cosine pass's arrangement: {c['cdc_arrangement']}" if "cdc_arrangement" in c else "")
            + ".")


def scalar_table(suite):
    """The program's searches against their fastest floors and the port, by airports."""
    first, second = (suite.scalar[f].name for f in suite.forms[:2])
    header, rows = ["airports"], []
    for form in suite.forms:
        s = suite.scalar[form].name
        header += [s, "its fastest floor", f"{s} / floor"] + (["its port"] if form in suite.ports else [])
    header.append(f"{second} / {first}")
    for n in suite.sizes():
        row = [n]
        for form in suite.forms:
            s, digits = suite.get(suite.scalar[form].benchmark, n), 2 if form == suite.forms[0] else 1
            label, floor = suite.fastest_floor(form, n)
            row += [ns_cell(s, digits), floor_cell(label, floor, digits), ratio(s, floor, 3)]
            if form in suite.ports:
                row.append(ns_cell(suite.get(suite.ports[form], n), 2))
        row.append(ratio(suite.get(suite.scalar[suite.forms[1]].benchmark, n),
                         suite.get(suite.scalar[suite.forms[0]].benchmark, n)))
        rows.append(row)
    return table(header, rows)


def parts_list(suite):
    """The parts of a test timed alone, and the noisy mark's meaning."""
    lines = [f"- {what}: {mark(suite.ns[name], f'{suite.ns[name]:.3f} ns')}" for name, what in PARTS
             if suite.get(name) is not None]
    if any(getattr(f, "noisy", False) for f in suite.ns.values()):
        lines.append(f"- \\* noisy: the repetitions' coefficient of variation is above {NOISY_CV * 100:.0f} %")
    return "\n".join(lines)


def forced_targets(suite, vector):
    """{(target, airports): Figure} of the vector search forced onto a narrower target."""
    pattern = re.compile(re.escape(vector.benchmark) + r"On/(\w+)/airports:(\d+)")
    return {(m[1], int(m[2])): f for name, f in suite.ns.items() if (m := pattern.fullmatch(name))}


def vector_table(suite):
    """The vector searches beside the scalar ones, by airports, for the
    forms whose vector search the run timed; None where it timed none."""
    forms = [f for f in suite.forms if suite.vector[f] and any(suite.get(suite.vector[f].benchmark, n)
                                                               for n in suite.sizes())]
    if not forms:
        return None
    header = ["airports"]
    for form in forms:
        s, v = suite.scalar[form].name, suite.vector[form].name
        header += [s, v, f"{s} / vector"]
    if len(forms) > 1:
        header.append(f"{suite.vector[forms[1]].name} / {suite.vector[forms[0]].name}")
    rows = []
    for n in suite.sizes():
        row = [n]
        for form in forms:
            s, v = suite.get(suite.scalar[form].benchmark, n), suite.get(suite.vector[form].benchmark, n)
            first = form == suite.forms[0]
            row += [ns_cell(s, 2 if first else 1), ns_cell(v, 3 if first else 2), ratio(s, v)]
        if len(forms) > 1:
            row.append(ratio(suite.get(suite.vector[forms[1]].benchmark, n), suite.get(suite.vector[forms[0]].benchmark, n)))
        rows.append(row)
    for (target, n), f in sorted(forced_targets(suite, suite.vector[forms[0]]).items()):
        rows.append([f"{n}, {target} forced", "", ns_cell(f, 3)] + [""] * (len(header) - 3))
    return (f"Highway target {suite.results['context'].get('vector_target', '?')}:\n\n" + table(header, rows))


def latlong_agreement(results):
    """How often the lat/long vector search, with SLEEF's sines, agrees with
    the exact search, as the suite checked before timing."""
    c = results["context"]

    def by_tables(key):  # "latlong_vector random, 1000 airports": random ones by size, then bundled
        tables, airports = key[len("latlong_vector "):].split(", ")
        return tables != "random", int(airports.split()[0])
    keys = sorted((k for k in c if k.startswith("latlong_vector ")), key=by_tables)
    s = catalogue.of(results)
    form = s.program_forms()[1].name
    return table(["tables", f"{s.brute(form, True).name} against {s.brute(form).name}"],
                 [[k[len("latlong_vector "):], c[k]] for k in keys], "ll")


def merged_machines(paths):
    """{processor: {"suite": the first run's Suite, "ns", "runs", "target"}},
    the processor by the context's "machine", else its "cpu"; of a figure
    that several files hold, a minimum before a median before a single run."""
    rank = {"min": 0, "median": 1, "run": 2}
    merged = {}
    for path in paths:
        suite = Suite(load(path))
        c = suite.results["context"]
        m = merged.setdefault(c.get("machine", c.get("cpu", path)), {"suite": suite, "ns": Figures(), "runs": [],
                                                                              "target": "?"})
        m["runs"].append(f"{c['date'][:10]}, load {c.get('load_avg', ['?'])[0]:.2f}")
        m["target"] = c.get("vector_target", m["target"])
        for name, fig in suite.ns.items():
            if name not in m["ns"] or rank[fig.kind] < rank[m["ns"][name].kind]:
                m["ns"][name] = fig
    return merged


def machines(paths):
    """One row per processor at the largest airport count."""
    rows, largest = [], None
    for machine, m in sorted(merged_machines(paths).items()):
        suite = m["suite"]
        suite.ns = m["ns"]
        n = largest = max(suite.sizes())
        first, second = suite.forms[:2]
        s, v = suite.get(suite.scalar[first].benchmark, n), suite.get(suite.vector[first].benchmark, n)
        label, floor = suite.fastest_floor(first, n)
        port = suite.get(suite.ports[first], n) if first in suite.ports else None
        rows.append([machine, "; ".join(sorted(set(m["runs"]))), ns_cell(s, 2), floor_cell(label, floor, 2),
                     ratio(s, floor, 3), ns_cell(port, 2), ratio(port, s),
                     f"{ns_cell(v, 3)} ({m['target']})" if v is not None else "–",
                     ratio(suite.get(suite.scalar[second].benchmark, n), s)])
    names = [suite.scalar[f].name for f in suite.forms[:2]] + [suite.vector[suite.forms[0]].name]
    return (f"At {largest} airports, ns per test (the least of the repetitions where the runs kept them, else "
            f"medians; * noisy: coefficient of variation above {NOISY_CV * 100:.0f} %; – not timed):\n\n" +
            table(["processor", "runs (date, load)", names[0], "its fastest floor", f"{names[0]} / floor", "its port",
                   f"port / {names[0]}", f"{names[2]} (target)", f"{names[1]} / {names[0]}"], rows, "ll" + "r" * 7))


def performance_parts(results_path, machine_paths):
    """{marker name: generated text} of docs/PERFORMANCE.md."""
    suite = Suite(load(results_path))
    return {"suite-run": about_run(suite) + "\n\n" + scalar_table(suite) + "\n\n" + parts_list(suite),
            "vector-run": vector_table(suite) or "The run has no vector searches.",
            "latlong-agreement": latlong_agreement(suite.results),
            "machines": machines(machine_paths)}


def machine_files(paths, folder):
    """docs/machines/README.md's table: what each saved run is, from its own
    context and benchmarks, each file by its path from the folder."""
    rows = []
    for path in paths:
        results = load(path)
        c, b = results["context"], results["benchmarks"]
        every = repetitions(results) > 1 and any(x.get("run_type", "iteration") == "iteration" for x in b)
        kept = ("every one of " if every else "minima of " if any(x.get("aggregate_name") == "min" for x in b)
                else "medians of ")
        loads = ", ".join("%.2f" % x for x in c.get("load_avg", [])) or "?"
        rows.append([f"`{os.path.relpath(path, folder)}`", c.get("machine", c.get("cpu", "?")),
                     f"{c['date'][:16].replace('T', ' ')} UTC", loads, len({x.get('run_name', x['name']) for x in b}),
                     f"{kept}{repetitions(results)}", c.get("vector_target", "?")])
    return table(["file", "processor", "run", "load average", "benchmarks", "repetitions kept", "vector target"],
                 rows, "lllrrll")
