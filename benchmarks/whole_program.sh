#!/bin/sh
# Times the whole program on 14000 airports x 1000 points of random directions
# (files written by random-inputs), RUNS times, and prints each pass's clock
# ticks per run, their medians and the nanoseconds per test of the medians.
#
#   benchmarks/whole_program.sh [BUILD_DIR [RUNS]]    (defaults build/bench, 5)
set -eu
build=$(cd "${1:-build/bench}" && pwd)
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$build/tools/random-inputs" . 14000 1000
tests=14000000
: >ticks
i=0
while [ $i -lt "$runs" ]; do
    "$build/spherebench" >report 2>/dev/null
    cdc=$(sed -n 's/^Concise direction cosines: *\([0-9]*\).*/\1/p' report)
    latlong=$(sed -n 's/^Latitude\/longitude: *\([0-9]*\).*/\1/p' report)
    echo "run $((i + 1)): cdc $cdc ticks, lat/long $latlong ticks"
    echo "$cdc $latlong" >>ticks
    i=$((i + 1))
done
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
cdc=$(cut -d' ' -f1 ticks | median)
latlong=$(cut -d' ' -f2 ticks | median)
echo "median of $runs: cdc $cdc ticks ($(echo "scale=2; $cdc * 1000000 / $tests" | bc) ns/test)," \
    "lat/long $latlong ticks ($(echo "scale=2; $latlong * 1000000 / $tests" | bc) ns/test)," \
    "lat/long / cdc $(echo "scale=2; $latlong / $cdc" | bc)"
