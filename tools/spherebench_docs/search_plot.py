"""The plot commands of docs/search.png from one run of the query
benchmarks (search_doc.Run): a panel per kind of table, each with the
program's forms' indexes and the fastest other library's index."""
from .search_doc import anchors, table_name

# Colours of the searches, dashes and points of the kinds of query.
COLOURS = ["#d62728", "#1f77b4", "#8c564b", "#9467bd", "#2ca02c", "#ff7f0e", "#17becf"]
GREYS = ["#000000", "#555555", "#999999", "#bbbbbb"]
DASHES = [1, 2, 4, 3, 5]
POINTS = [7, 5, 9, 11, 13]


def plotted(run, table):
    """The searches of a panel: the program's forms' indexes and the anchor
    fastest in the most cases of that kind of table (the first in the
    catalogue on a tie)."""
    indexes = [s.name for f in run.catalogue.program_forms()[:2] for s in run.catalogue.find(f.name, "index")
               if s.name in run.searches]
    wins = [run.fastest(table, n, k, anchors)[1] for n, k in run.cases(table)]
    best = max((s for s in run.searches if s in wins), key=wins.count, default=None)
    return indexes + ([best] if best else [])


def plot_commands(run):
    """A panel per kind of table, in a grid of three columns: the searches
    of plotted() against table size, a line per search and kind of query
    (colour by search, dash and point by kind of query), one key below."""
    panels = [t for t in run.tables if run.cases(t)]
    shown = run.catalogue.ordered({s for t in panels for s in plotted(run, t)})
    exact, other = [s for s in shown if run.catalogue[s].exact], [s for s in shown if not run.catalogue[s].exact]
    colour = {s: COLOURS[i % len(COLOURS)] for i, s in enumerate(exact)}
    colour.update({s: GREYS[i % len(GREYS)] for i, s in enumerate(other)})
    out = []
    if run.sizes:
        out.append("set xrange [%g:%g]" % (run.sizes[0] / 1.4, run.sizes[-1] * 1.4))
    columns, rows = 3, (len(panels) + 2) // 3
    height = 0.8 / max(rows, 1)
    for i, t in enumerate(panels):
        out.append("set origin %g, %g" % (i % columns / columns, 0.1 + (rows - 1 - i // columns) * height))
        out.append("set size %g, %g" % (1 / columns, height))
        out.append('set title "%s tables"' % table_name(t))
        # The axes named once: sizes under the last row, times left of the first column.
        out.append("set xlabel xname" if i + columns >= len(panels) else "unset xlabel")
        out.append("set ylabel yname" if i % columns == 0 else "unset ylabel")
        plots = []
        for s in plotted(run, t):
            for j, k in enumerate(run.kinds):
                points = [(n, run.time(s, n, k, 1, t)) for n in run.sizes if run.time(s, n, k, 1, t)]
                if points:
                    block = "$%s_%d_%d" % (s, i, j)
                    out += ["%s << EOD" % block] + ["%d %.6g" % (n, time * 1e6) for n, time in points] + ["EOD"]
                    plots.append('%s using 1:2 with linespoints lc rgb "%s" dt %d pt %d lw 2 notitle' % (
                        block, colour[s], DASHES[j % len(DASHES)], POINTS[j % len(POINTS)]))
        out.append("plot " + ", \\\n     ".join(plots))
    # The key alone, across the foot of the picture.
    keys = ['keyentry with lines lc rgb "%s" lw 3 title "%s"' % (colour[s], s) for s in shown]
    keys += ['keyentry with linespoints lc rgb "#555555" dt %d pt %d lw 2 title "%s queries"' % (
        DASHES[j % len(DASHES)], POINTS[j % len(POINTS)], k) for j, k in enumerate(run.kinds)]
    out += ["set origin 0, 0", "set size 1, 0.08", "unset title", "unset border", "unset tics", "unset xlabel",
            "unset ylabel", "unset grid", "unset logscale", "set yrange [0:1]", "set xrange [0:1]",
            "set lmargin 0", "set rmargin 0",
            "set key center center horizontal maxrows 1 width 3",
            "plot NaN notitle, \\\n     " + ", \\\n     ".join(keys)]
    return "\n".join(out) + "\n"
