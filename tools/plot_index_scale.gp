# The indexes against the number of locations: the build's time on every
# core (left) and the time of a query near a stored location and uniform, on
# the index as built and as opened from its file (right), a colour a search.
# Run by tools/spherebench_docs (plots.py), which sets:
#   data      the blocks of index_scale_doc.plot_data, one a search
#   first, second  the searches' names, in the blocks' order
#   about     the run, for the title
#   output    the PNG to write
set terminal pngcairo size 1400,600 font "DejaVu Sans,11"
set output output
set multiplot layout 1,2 title sprintf("The indexes up to a billion locations\n%s", about) font ",13"
set logscale xy
set format x "2^{%L}"
set xtics 4
set logscale x 2
set xlabel "locations (log scale)"
set grid lc rgb "#dddddd"
set key top left font ",10"
set ylabel "build on every core (s, log scale)"
plot data index 0 using 1:2 with linespoints lw 2 pt 7 lc rgb "#d62728" title first, \
     data index 1 using 1:2 with linespoints lw 2 pt 7 lc rgb "#1f77b4" title second
set ylabel "µs per query (log scale)"
plot data index 0 using 1:3 with linespoints lw 2 pt 7 lc rgb "#d62728" title first." near", \
     data index 0 using 1:4 with linespoints lw 2 pt 5 dt 2 lc rgb "#d62728" title first." uniform", \
     data index 0 using 1:5 with points pt 6 ps 1.5 lc rgb "#d62728" title first." near, opened", \
     data index 1 using 1:3 with linespoints lw 2 pt 7 lc rgb "#1f77b4" title second." near", \
     data index 1 using 1:4 with linespoints lw 2 pt 5 dt 2 lc rgb "#1f77b4" title second." uniform", \
     data index 1 using 1:5 with points pt 6 ps 1.5 lc rgb "#1f77b4" title second." near, opened"
unset multiplot
