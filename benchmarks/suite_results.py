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

Medians are used where the run has repetitions, else the single runs;
figures needs medians. Numbers are written so that they read back as the
same doubles.
"""
import json
import sys


class ResultsError(Exception):
    """Results that cannot give what was asked of them."""


def load(path):
    with open(path) as f:
        return json.load(f)


def per_test_ns(results):
    """{benchmark name: ns per test}, medians when the run has them."""
    runs = results["benchmarks"]
    medians = [b for b in runs if b.get("aggregate_name") == "median"]
    chosen = medians if medians else [b for b in runs if b.get("run_type", "iteration") == "iteration"]
    return {b.get("run_name", b["name"]): b["per_test"] * 1e9 for b in chosen}


def repetitions(results):
    return max((b.get("repetitions", 1) for b in results["benchmarks"]), default=1)


def run_date(results):
    return results["context"]["date"][:10]


def about(results):
    """"median of 5 runs; run of 2026-12-07, vector target AVX3"."""
    c = results["context"]
    reps = repetitions(results)
    taken = "median of %d runs" % reps if reps > 1 else "single runs"
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


def main(argv):
    commands = {"figures": lambda r: "\n".join(figures(r)), "date": run_date, "about": about}
    if len(argv) != 3 or argv[1] not in commands:
        sys.exit(__doc__)
    try:
        print(commands[argv[1]](load(argv[2])))
    except KeyError as e:
        sys.exit("suite_results.py: %s: no %s" % (argv[2], e))
    except (OSError, ValueError, ResultsError) as e:
        sys.exit("suite_results.py: %s: %s" % (argv[2], e))


if __name__ == "__main__":
    main(sys.argv)
