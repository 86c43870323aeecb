# Time per query against table size, log-log, a panel per kind of table in a
# grid, a line per search and kind of query: the program's forms' indexes in
# colour, the fastest other library's index of the kind of table in grey,
# the kinds of query by dash and point; one key across the foot. Run by
# tools/spherebench_docs (plots.py), which sets:
#   lines   the data and plot commands (tools/spherebench_docs/search_plot.py)
#   about   the run, for the title
#   output  the PNG to write
set terminal pngcairo size 1600,1000 font "DejaVu Sans,11"
set output output
set multiplot title sprintf("Nearest-location search, one query at a time: time per query against table size\n%s", about) font ",13"
set logscale x 2
set logscale y
set format x "2^{%L}"
set xtics 1024, 4
xname = "locations in the table (log scale)"
yname = "µs per query (log scale)"
set grid lc rgb "#dddddd"
# Fixed margins, so that every panel's plot is of one size, labelled or not.
set tmargin 2
set bmargin 3.5
set lmargin 10
set rmargin 3
load lines
unset multiplot
