#!/usr/bin/env python3
"""The benchmark suite's results (Google Benchmark's JSON, --benchmark_out),
read in this one place: by report.py and by plot_scaling.sh through the
functions below, and by tools/make_docs.sh and representations-report
through the command line.

    suite_results.py figures RESULTS.json   what representations-report needs,
                                            one figure a line, tab-separated:
                                              repetitions N
                                              widest_spread CV
                                              median NAME SECONDS_PER_TEST
                                              context KEY VALUE
                                              load_avg A B C
    suite_results.py date RESULTS.json      the run's date, YYYY-MM-DD
    suite_results.py about RESULTS.json     what the run's figures are, for a
                                            plot's title
    suite_results.py context RESULTS.json KEY
                                            one value of the run's context
    suite_results.py runs-only RESULTS.json OUT.json [KEY=VALUE]...
                                            the run without its aggregates,
                                            the pairs added to its context

least_ns takes the least of the repetitions where the run has it, else the
median, else the single run; figures needs medians. Numbers are written so that they read back as the
same doubles.
"""
import json
import statistics
import sys

# Repetitions that vary by more than this (coefficient of variation) are noisy.
NOISY_CV = 0.05


class ResultsError(Exception):
    """Results that cannot give what was asked of them."""


def load(path):
    with open(path) as f:
        return json.load(f)


class Figure(float):
    """ns per test, with how it was taken ("min", "median", "run") and whether
    its repetitions varied by more than NOISY_CV."""

    def __new__(cls, ns, kind="run", noisy=False):
        f = super().__new__(cls, ns)
        f.kind, f.noisy = kind, noisy
        return f


def least_ns(results):
    """{benchmark name: Figure}, minima where the run has them."""
    by_name = {}
    for b in results["benchmarks"]:
        entry = by_name.setdefault(b.get("run_name", b["name"]), {"runs": []})
        aggregate = b.get("aggregate_name")
        if aggregate:
            entry[aggregate] = b["per_test"]
        elif b.get("run_type", "iteration") == "iteration" and not b.get("error_occurred"):
            entry["runs"].append(b["per_test"])
    chosen = {}
    for name, e in by_name.items():
        runs = e["runs"]
        cv = e.get("cv")
        if cv is None and len(runs) > 1:
            cv = statistics.stdev(runs) / statistics.mean(runs)
        noisy = cv is not None and cv > NOISY_CV
        if "min" in e or len(runs) > 1:
            chosen[name] = Figure(e.get("min", min(runs or [0])) * 1e9, "min", noisy)
        elif "median" in e:
            chosen[name] = Figure(e["median"] * 1e9, "median", noisy)
        elif runs:
            chosen[name] = Figure(runs[0] * 1e9)
    return chosen


def repetitions(results):
    return max((b.get("repetitions", 1) for b in results["benchmarks"]), default=1)


def run_date(results):
    return results["context"]["date"][:10]


def about(results):
    """"least of 5 runs; run of 2026-12-07, vector target AVX3"."""
    c = results["context"]
    reps = repetitions(results)
    least = any(b.get("aggregate_name") == "min" for b in results["benchmarks"])
    taken = ("least" if least else "median") + " of %d runs" % reps if reps > 1 else "single runs"
    target = ", vector target " + c["vector_target"] if "vector_target" in c else ""
    return "%s; run of %s%s" % (taken, run_date(results), target)


def _field(value):
    """A context key or value as one field: strings as they are, numbers as
    JSON writes them; tabs and line breaks, which would split the line, as
    spaces."""
    text = value if isinstance(value, str) else json.dumps(value)
    return " ".join(text.replace("\t", " ").splitlines())


def figures(results):
    """The lines of `suite_results.py figures`."""
    runs = results["benchmarks"]
    medians = [b for b in runs if b.get("aggregate_name") == "median"]
    if not medians:
        raise ResultsError("holds no medians: run the suite with --benchmark_repetitions")
    spreads = [b["per_test"] for b in runs if b.get("aggregate_name") == "cv" and "per_test" in b]
    lines = ["repetitions\t%d" % repetitions(results),
             "widest_spread\t%r" % float(max(spreads, default=0.0))]
    lines += ["median\t%s\t%r" % (_field(b.get("run_name", b["name"])), float(b["per_test"])) for b in medians]
    for key, value in results.get("context", {}).items():
        if key == "load_avg":
            lines.append("\t".join(["load_avg"] + ["%r" % float(x) for x in value]))
        elif not isinstance(value, (list, dict)):
            lines.append("context\t%s\t%s" % (_field(key), _field(value)))
    return lines


def runs_only(results, pairs):
    """The results with the repetitions alone (their aggregates dropped) and
    each "KEY=VALUE" of pairs in the context."""
    for pair in pairs:
        key, _, value = pair.partition("=")
        results["context"][key] = value
    results["benchmarks"] = [b for b in results["benchmarks"] if b.get("run_type") != "aggregate"]
    return results


def main(argv):
    commands = {"figures": lambda r, _: "\n".join(figures(r)), "date": lambda r, _: run_date(r),
                "about": lambda r, _: about(r), "context": lambda r, key: r["context"][key[0]]}
    if argv[1:2] == ["runs-only"] and len(argv) >= 4:
        with open(argv[3], "w") as out:
            json.dump(runs_only(load(argv[2]), argv[4:]), out, indent=0)
        return
    if len(argv) != (4 if argv[1:2] == ["context"] else 3) or argv[1] not in commands:
        sys.exit(__doc__)
    try:
        print(commands[argv[1]](load(argv[2]), argv[3:]))
    except KeyError as e:
        sys.exit("suite_results.py: %s: no %s" % (argv[2], e))
    except (OSError, ValueError, ResultsError) as e:
        sys.exit("suite_results.py: %s: %s" % (argv[2], e))


if __name__ == "__main__":
    main(sys.argv)
