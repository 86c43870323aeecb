# Time per proximity test against table bytes, one panel per thread count,
# a line per search (solid: one query at a time; dotted: the blocked batch),
# the memory floors dashed in the colour of a form of their size, the caches
# marked. Run by tools/spherebench_docs (plots.py),
# which sets:
#   lines     the plot commands and their data (tools/spherebench_docs/plots.py)
#   l1, l2, l3  the cache sizes in bytes
#   about     the run, for the title
#   output    the PNG to write
set terminal pngcairo size 1600,900 font "DejaVu Sans,11"
set output output
set multiplot title sprintf("Nearest-location search past the caches: time per test (CPU time per thread) against table size\n%s", about) font ",13"
set logscale xy
set format x "%.0s %cB"
set xlabel "table bytes (log scale)"
set ylabel "ns per proximity test (log scale)"
set grid lc rgb "#dddddd"
# One key for both panels, below them.
set key at screen 0.5, screen 0.2 center top horizontal maxrows 6 font ",10" width 2
set tmargin at screen 0.9
set bmargin at screen 0.3
set xrange [1e3:1e9]
set style line 1 lc rgb "#d62728" lw 2
set style line 2 lc rgb "#ff9896" lw 2
set style line 3 lc rgb "#1f77b4" lw 2
set style line 4 lc rgb "#2ca02c" lw 2
set style line 5 lc rgb "#9467bd" lw 2
set style line 6 lc rgb "#c5b0d5" lw 2
set style line 7 lc rgb "#8c564b" lw 2
set arrow 1 from l1, graph 0 to l1, graph 1 nohead lc rgb "black" dt 4
set arrow 2 from l2, graph 0 to l2, graph 1 nohead lc rgb "black" dt 4
set arrow 3 from l3, graph 0 to l3, graph 1 nohead lc rgb "black" dt 4
set label 1 "L1d" at l1, graph 0.97 offset char 0.5,0 font ",10"
set label 2 "L2" at l2, graph 0.97 offset char 0.5,0 font ",10"
set label 3 "L3" at l3, graph 0.97 offset char 0.5,0 font ",10"
load lines
unset multiplot
