# The suite's figures against the number of airports: on the left nanoseconds
# per test of both methods' brute-force searches, floors and vector searches
# on one logarithmic scale; on the right the ratios between them. Run by
# tools/make_docs.sh through tools/spherebench_docs, which sets:
#   data    columns: airports, first, its fastest floor, second, its floor,
#           first_vector, second_vector ("?" where the run has none), ns per
#           test
#   first, second   the program's two brute-force searches, by name
#   first_vector, second_vector   their vector searches, by name
#   about   what the figures are, for the title
#   output  the PNG to write
set terminal pngcairo size 1200,600 font "sans,11"
set output output
set datafile missing "?"
set multiplot title sprintf("Nearest-airport search, 1000 points of random directions: CPU time per proximity test (%s)", about)
set label 1 first.", ".second.": the program's searches (find\\_nearest).  floor: a loop written apart from the program with the least scalar arithmetic known for the test (src/suite/floors.cpp)," at screen 0.01, screen 0.085 font "sans,10"
set label 2 "what a scalar search costs at best.  vector: the suite's vector searches (Highway), several tests at once; direction cosines exact bit for bit, lat/long with SLEEF's sine and cosine." at screen 0.01, screen 0.05 font "sans,10"
set tmargin at screen 0.9
set bmargin at screen 0.2
set xlabel "airports searched per point"
set xrange [0:15000]
set xtics 2000
set grid
set lmargin at screen 0.06
set rmargin at screen 0.48
set title "Both methods on one scale"
set ylabel "time per test (ns, logarithmic scale)"
set logscale y
set yrange [0.5:1000]
set ytics (0.5, 1, 2, 5, 10, 20, 50, 100)
set key top left maxrows 3 box opaque font "sans,10" samplen 2
plot data using 1:4 with linespoints lw 2 pt 5 lc rgb "#d62728" title second, \
     data using 1:5 with linespoints lw 2 pt 4 dt 2 lc rgb "#d62728" title second." floor", \
     data using 1:7 with linespoints lw 2 pt 9 dt 3 lc rgb "#d62728" title second_vector, \
     data using 1:2 with linespoints lw 2 pt 7 lc rgb "#1f77b4" title first, \
     data using 1:3 with linespoints lw 2 pt 6 dt 2 lc rgb "#1f77b4" title first." floor", \
     data using 1:6 with linespoints lw 2 pt 9 dt 3 lc rgb "#1f77b4" title first_vector
unset label 1
unset label 2
set lmargin at screen 0.56
set rmargin at screen 0.98
unset logscale y
set yrange [0:10]
set ytics 1
set title "Ratios, each of two figures from the same run"
set ylabel "ratio"
set key at graph 0.97, graph 0.5 right center vertical maxrows 4 box opaque font "sans,10" samplen 2
plot data using 1:($4/$2) with linespoints lw 2 pt 7 lc rgb "#9467bd" title second." / ".first, \
     data using 1:($7/$6) with linespoints lw 2 pt 9 dt 3 lc rgb "#9467bd" title second_vector." / ".first_vector, \
     data using 1:($2/$6) with linespoints lw 2 pt 9 lc rgb "#1f77b4" title first." / ".first_vector, \
     data using 1:($4/$7) with linespoints lw 2 pt 9 lc rgb "#d62728" title second." / ".second_vector
unset multiplot
