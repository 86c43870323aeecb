# The bundled flight path and the airports the benchmark lists along it, on a
# longitude/latitude map, with the crowded US west coast enlarged in an inset.
# Run by tools/spherebench_docs (plots.py), which prepares the data files named here
# (longitudes east of Greenwich, 0 to 360, so the path over the date line
# stays one line):
#   all_airports  lon lat          every bundled airport
#   path_points   lon lat          the flight line's points
#   map_labels    lon lat x y align leader label
#                 the airports the report lists, with where their labels go
#                 on the map (none inside the inset's box) ...
#   inset_labels  ... and in the inset (tools/spherebench_docs/labels.py, given the
#                 plot areas and ranges below)
#   output        the PNG to write
# Keep the sizes, plot areas and ranges in step with tools/spherebench_docs/plots.py.
set terminal pngcairo size 1600,900 font "DejaVu Sans,11"
set output output
set multiplot

set lmargin at screen 0.055
set rmargin at screen 0.985
set bmargin at screen 0.075
set tmargin at screen 0.94
set title "Bombay (BOM) to Los Angeles (LAX): the 1000-point great-circle path and the nearest airports the report lists" font ",14"
set xlabel "longitude"
set ylabel "latitude"
set xrange [55:260]
set yrange [5:82]
set xtics ("60°E" 60, "90°E" 90, "120°E" 120, "150°E" 150, "180°" 180, "150°W" 210, "120°W" 240)
set ytics ("10°N" 10, "20°N" 20, "30°N" 30, "40°N" 40, "50°N" 50, "60°N" 60, "70°N" 70, "80°N" 80)
set grid lc rgb "#dddddd"
set key bottom left box opaque
# The inset's box on the map.
set object 1 rectangle from 234.5,32.5 to 246.5,51 front fillstyle empty border lc rgb "#555555" dashtype 2
set label 1 "enlarged\nat left" at 247.5,36 left font ",8" tc rgb "#555555"
plot all_airports using 1:2 with points pt 7 ps 0.25 lc rgb "#c0c0c0" title "bundled airports (medium and large)", \
     path_points using 1:2 with lines lw 2 lc rgb "#1f77b4" title "flight path (great circle)", \
     map_labels using 1:2:($6 != 0 ? $3 - $1 : 1/0):($4 - $2) with vectors nohead lw 0.6 lc rgb "#a06060" notitle, \
     map_labels using 1:2 with points pt 7 ps 0.9 lc rgb "#d62728" title "nearest airports listed by the report", \
     inset_labels using 1:2 with points pt 7 ps 0.9 lc rgb "#d62728" notitle, \
     map_labels using 3:4:(stringcolumn(5) eq "left" ? stringcolumn(7) : "") with labels left font ",8" tc rgb "#600000" notitle, \
     map_labels using 3:4:(stringcolumn(5) eq "right" ? stringcolumn(7) : "") with labels right font ",8" tc rgb "#600000" notitle

# The inset: the US west coast, on an opaque panel over the empty Pacific.
unset object 1
unset label 1
unset key
set object 2 rectangle from screen 0.465,0.115 to screen 0.83,0.63 behind fillcolor rgb "white" fillstyle solid 1.0 border lc rgb "#555555"
set lmargin at screen 0.505
set rmargin at screen 0.82
set bmargin at screen 0.165
set tmargin at screen 0.59
set title "US west coast (the dashed box), enlarged" font ",11"
set xlabel ""
set ylabel ""
set xrange [234.5:246.5]
set yrange [32.5:51]
set xtics ("124°W" 236, "120°W" 240, "116°W" 244) font ",9"
set ytics ("35°N" 35, "40°N" 40, "45°N" 45, "50°N" 50) font ",9"
plot all_airports using 1:2 with points pt 7 ps 0.35 lc rgb "#c0c0c0", \
     path_points using 1:2 with lines lw 2 lc rgb "#1f77b4", \
     inset_labels using 1:2:($6 != 0 ? $3 - $1 : 1/0):($4 - $2) with vectors nohead lw 0.6 lc rgb "#a06060", \
     inset_labels using 1:2 with points pt 7 ps 0.9 lc rgb "#d62728", \
     inset_labels using 3:4:(stringcolumn(5) eq "left" ? stringcolumn(7) : "") with labels left font ",8" tc rgb "#600000", \
     inset_labels using 3:4:(stringcolumn(5) eq "right" ? stringcolumn(7) : "") with labels right font ",8" tc rgb "#600000"
unset multiplot
