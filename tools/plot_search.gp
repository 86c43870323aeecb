# Time per query against table size, log-log, a panel per kind of query (path,
# uniform), a line per search: colour by stored form, dash by kind of search
# (solid brute force, dashed pruned scan, dash-dot index), the anchors in
# greys. Run by tools/make_docs.sh --search, which sets:
#   lines   the data and plot commands (tools/spherebench_docs/search_doc.py)
#   about   the run, for the title
#   output  the PNG to write
set terminal pngcairo size 1600,900 font "DejaVu Sans,11"
set output output
set multiplot title sprintf("Nearest-location search, one query at a time: time per query against table size\n%s", about) font ",13"
set logscale xy
set xlabel "locations in the table (log scale)"
set ylabel "µs per query (log scale)"
set grid lc rgb "#dddddd"
set format x "2^{%L}"
set logscale x 2
set key font ",10" width 2
load lines
unset multiplot
