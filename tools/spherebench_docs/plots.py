"""The pictures of docs/, drawn by gnuplot from data this module writes:
the scripts are tools/plot_*.gp, the data and their variables come from
here. Each function writes its data into a working folder and runs gnuplot."""
import os
import re
import subprocess

from . import index_scale_doc, labels, search_plot, suite_tables
from .results import about, load_text, run_date

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def gnuplot(script, **variables):
    """Runs tools/SCRIPT with each variable set as a gnuplot string."""
    commands = "; ".join("%s='%s'" % (k, str(v).replace("'", "''")) for k, v in variables.items())
    subprocess.run(["gnuplot", "-e", commands, os.path.join(TOOLS, script)], check=True)


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def scaling_data(suite):
    """Columns for tools/plot_scaling.gp: airports, then of each of the
    program's two forms its brute force and fastest floor, then their vector
    searches ("?" where the run has none), ns per test."""
    lines = ["# airports first first_floor second second_floor first_vector second_vector (ns per test)"]
    for n in suite.sizes():
        cells = []
        for form in suite.forms[:2]:
            cells += [suite.get(suite.scalar[form].benchmark, n), suite.fastest_floor(form, n)[1]]
        cells += [suite.get(suite.vector[form].benchmark, n) if suite.vector[form] else None for form in suite.forms[:2]]
        lines.append("%d " % n + " ".join("?" if v is None else "%.4f" % v for v in cells))
    return "\n".join(lines) + "\n"


def scaling(results, work, output):
    suite = suite_tables.Suite(results)
    data = os.path.join(work, "scaling.dat")
    write(data, scaling_data(suite))
    first, second = suite.forms[:2]
    gnuplot("plot_scaling.gp", data=data, about=about(results), output=output, first=suite.scalar[first].name,
            second=suite.scalar[second].name, first_vector=suite.vector[first].name,
            second_vector=suite.vector[second].name)


def scale_lines(run, data_path):
    """The data blocks of docs/scale.png ("bytes ns" per line) and the
    gnuplot commands that draw them, one panel per thread count."""
    blocks, commands = [], []
    colours = {s: i + 1 for i, s in enumerate(run.searches)}
    like = {run.bytes[s]: s for s in reversed(run.searches)}  # a search whose form has that many bytes
    for threads in (1, 2):
        plots = []
        for mode, dash in (("One", 1), ("Batch", 3)):
            for s in run.searches:
                line = run.line(mode, s, threads)
                if not line:
                    continue
                blocks.append("\n".join(f"{n * run.bytes[s]} {t}" for n, t in sorted(line.items())))
                label = f"{s} ({run.bytes[s]} B)" + ("" if mode == "One" else ", batch")
                plots.append(f"data index {len(blocks) - 1} using 1:2 with linespoints ls {colours[s]} dt {dash} "
                             f"{'pt 7 ps 0.7' if mode == 'One' else 'pt 6 ps 0.7'} title '{label}'")
        for b in sorted(like):
            points = [(n * b, b / run.bw[(n * b, threads)] * 1e9) for n in run.sizes if (n * b, threads) in run.bw]
            if points:
                blocks.append("\n".join(f"{x} {y}" for x, y in points))
                plots.append(f"data index {len(blocks) - 1} using 1:2 with lines ls {colours[like[b]]} dt 2 lw 1 "
                             f"title 'memory floor, {b} B'")
        commands.append(f"set title '{threads} thread{'s' if threads > 1 else ''}'\nplot " + ", \\\n     ".join(plots))
    gp = (f"data = '{data_path}'\n" + "set lmargin at screen 0.06\nset rmargin at screen 0.49\n" + commands[0] + "\n" +
          "unset key\nset lmargin at screen 0.56\nset rmargin at screen 0.99\n" + commands[1] + "\n")
    return "\n\n\n".join(blocks) + "\n", gp


def scale(run, work, output):
    data, lines = os.path.join(work, "scale.dat"), os.path.join(work, "lines.gp")
    blocks, gp = scale_lines(run, data)
    write(data, blocks)
    write(lines, gp)
    c = run.results["context"]
    l1, l2, l3 = run.caches
    about_run = f"run of {run_date(run.results)}, fastest of repetitions; {load_text(c)}"
    subprocess.run(["gnuplot", "-e", f"lines='{lines}'; l1={l1}; l2={l2}; l3={l3}; about='{about_run}'; "
                    f"output='{output}'", os.path.join(TOOLS, "plot_scale.gp")], check=True)


def index_scale(run, work, output):
    """docs/index_scale.png from an index_scale_doc.Run."""
    data = os.path.join(work, "index_scale.dat")
    write(data, index_scale_doc.plot_data(run))
    c = run.context
    about_run = (f"{c.get('cpu', '?')}, {c.get('cores', '?')} cores; load {c.get('load_at_start', '?')} at the start, "
                 f"{run.load_at_end or '?'} at the end")
    gnuplot("plot_index_scale.gp", data=data, first=run.searches[0], second=run.searches[-1], about=about_run,
            output=output)


def search(run, work, output):
    """docs/search.png: search_plot.plot_commands of the run."""
    lines = os.path.join(work, "lines.gp")
    write(lines, search_plot.plot_commands(run))
    about_run = f"run of {run_date({'context': run.context})}, least of repetitions; {load_text(run.context)}"
    subprocess.run(["gnuplot", "-e", f"lines='{lines}'; about='{about_run}'; output='{output}'",
                    os.path.join(TOOLS, "plot_search.gp")], check=True)


def representations(rows, results, work, output):
    """rows: forms_doc.plot_rows."""
    data = os.path.join(work, "forms.dat")
    write(data, "".join('"%s" %d %.6e %.4f %d\n' % (label, b, err, ns, 1 if own else 0)
                        for label, b, err, ns, own in rows))
    gnuplot("plot_representations.gp", forms=data, run_date=run_date(results), output=output)


def east(lon_text):
    """A longitude as plot_path.gp wants it, 0 to 360, written as given when
    it is east already (awk's way, so that the data stay as they were)."""
    lon = float(lon_text)
    if lon >= 0:
        return lon_text
    lon += 360
    return "%d" % lon if lon == int(lon) else "%.6g" % lon


def label_of(name, first_word):
    """The IATA code at the end of an airport's name, else its first word."""
    m = re.search(r"\(([A-Z0-9]+)\)$", name)
    return m[1] if m else first_word


def listed_airports(report):
    """(lon, lat, label) of the airports the direction-cosine pass lists in
    the program's report."""
    listed, on = [], False
    for line in report.splitlines():
        if "test proximity using CDC" in line:
            on = True
            continue
        if line.startswith("[Duration"):
            on = False
        if on:
            fields = line.split()
            name = re.sub(r"^ *[0-9]+ +[-0-9.]+ +[-0-9.]+ ", "", line, count=1)
            listed.append((east(fields[2]), fields[1], label_of(name, fields[3])))
    return listed


# The plot areas (screen fractions) and ranges that tools/plot_path.gp sets.
MAP_AREA, MAP_RANGES = (0.055, 0.985, 0.075, 0.94), (55, 260, 5, 82)
INSET_AREA, INSET_BOX = (0.505, 0.82, 0.165, 0.59), (234.5, 246.5, 32.5, 51)


def path(build, data_dir, work, output):
    """The Bombay-Los Angeles path and the airports the report lists."""
    build = os.path.abspath(build)

    def decoded(name):
        out = subprocess.run([os.path.join(build, "tools", "decode-inputs"), os.path.join(data_dir, name)],
                             check=True, capture_output=True, text=True).stdout
        return [(east(f[1]), f[0]) for f in (line.split() for line in out.splitlines())]
    airports, points = decoded("airports.ptc"), decoded("flightline.lnc")
    report = subprocess.run([os.path.join(build, "spherebench")], cwd=data_dir, check=True, capture_output=True,
                            text=True).stdout
    listed = listed_airports(report)
    obstacles = [(float(lon), float(lat)) for lon, lat in points]
    files = {}
    for name, rows in (("all", airports), ("path", points)):
        files[name] = os.path.join(work, name + ".dat")
        write(files[name], "".join(f"{lon} {lat}\n" for lon, lat in rows))
    for name, area, ranges, inside in (("map_labels", MAP_AREA, MAP_RANGES, False),
                                       ("inset_labels", INSET_AREA, INSET_BOX, True)):
        files[name] = os.path.join(work, name + ".dat")
        write(files[name], "".join(line + "\n" for line in
                                   labels.place_labels(area, ranges, INSET_BOX, inside, obstacles, listed)))
    gnuplot("plot_path.gp", all_airports=files["all"], path_points=files["path"], map_labels=files["map_labels"],
            inset_labels=files["inset_labels"], output=output)
