#!/bin/sh
# Draws nanoseconds per test against the number of airports, each pass beside
# its floor, from the suite's JSON output. Needs python3 and gnuplot
# (Debian: apt-get install -y gnuplot-nox).
#
#   benchmarks/plot_scaling.sh RESULTS.json [OUT.png]    (default docs/scaling.png)
set -eu
here=$(dirname "$0")
results=${1:?usage: plot_scaling.sh RESULTS.json [OUT.png]}
out=${2:-$here/../docs/scaling.png}
data=$(mktemp)
trap 'rm -f "$data"' EXIT
python3 "$here/report.py" --data "$results" >"$data"
date=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["context"]["date"][:10])' "$results")

gnuplot <<PLOT
set terminal pngcairo size 1100,480 font "sans,11"
set output "$out"
set multiplot layout 1,2 title "Nearest-airport search, 1000 points of random directions: time per proximity test (CPU time, median; run of $date)"
set xlabel "airports searched per point"
set ylabel "time per test (ns)"
set xrange [0:15000]
set yrange [0:*]
set xtics 2000
set grid
set key bottom right
set title "Concise direction cosines"
plot "$data" using 1:2 with linespoints lw 2 pt 7 lc rgb "#1f77b4" title "pass (find\\\\_nearest<CdcMethod>)", \
     "$data" using 1:3 with linespoints lw 2 pt 6 dt 2 lc rgb "#1f77b4" title "floor"
set title "Latitude/longitude"
plot "$data" using 1:4 with linespoints lw 2 pt 5 lc rgb "#d62728" title "pass (find\\\\_nearest<LatLongMethod>)", \
     "$data" using 1:5 with linespoints lw 2 pt 4 dt 2 lc rgb "#d62728" title "floor"
unset multiplot
PLOT
echo "wrote $out"
