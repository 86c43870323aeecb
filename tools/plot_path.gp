# The bundled flight path and the airports the benchmark lists along it, on a
# longitude/latitude plot. Run by tools/make_docs.sh, which prepares the data
# files named here (longitudes east of Greenwich, 0 to 360, so the path over
# the date line stays one line):
#   all_airports  lon lat          every bundled airport
#   path_points   lon lat          the flight line's points
#   listed        lon lat label    the airports the report lists
#   output        the PNG to write
set terminal pngcairo size 1600,900 font "DejaVu Sans,11"
set output output
set title "Bombay (BOM) to Los Angeles (LAX): the 1000-point great-circle path and the nearest airports the report lists" font ",14"
set xlabel "longitude"
set ylabel "latitude"
set xrange [55:260]
set yrange [5:82]
set xtics ("60°E" 60, "90°E" 90, "120°E" 120, "150°E" 150, "180°" 180, "150°W" 210, "120°W" 240)
set ytics ("10°N" 10, "20°N" 20, "30°N" 30, "40°N" 40, "50°N" 50, "60°N" 60, "70°N" 70, "80°N" 80)
set grid lc rgb "#dddddd"
set key bottom left box opaque
plot all_airports using 1:2 with points pt 7 ps 0.25 lc rgb "#c0c0c0" title "bundled airports (medium and large)", \
     path_points using 1:2 with lines lw 2 lc rgb "#1f77b4" title "flight path (great circle)", \
     listed using 1:2 with points pt 7 ps 0.9 lc rgb "#d62728" title "nearest airports listed by the report", \
     listed using 1:2:3 with labels offset char 0.6,0.5 left font ",8" tc rgb "#600000" notitle
