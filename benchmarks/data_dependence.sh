#!/usr/bin/env bash
# Times the whole program on the bundled data and on tables of the same size
# that differ from it in one respect each, to show what makes a lat/long
# test cheaper on the bundled airports than on random directions:
#   bundled    data/airports.ptc and data/flightline.lnc as shipped
#   shuffled   the same airports and points, the airports in another order
#              (a fixed one: shuf with a constant random source)
#   random     5210 airports x 1000 points of random directions (random-inputs)
# RUNS rounds, the sets interleaved in each; prints each set's ticks and the
# medians. Run from the repository root:
#   benchmarks/data_dependence.sh [BUILD_DIR [RUNS]]    (defaults build/bench, 11)
set -euo pipefail
build=$(cd "${1:-build/bench}" && pwd)
runs=${2:-11}
data=$(pwd)/data
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir bundled shuffled random
cp "$data/airports.ptc" "$data/flightline.lnc" bundled/
(grep '^;' bundled/airports.ptc; grep -v '^;' bundled/airports.ptc | shuf --random-source=<(yes)) >shuffled/airports.ptc
cp bundled/flightline.lnc shuffled/
"$build/tools/random-inputs" random 5210 1000
sets="bundled shuffled random"
for set in $sets; do : >"$set.ticks"; done
for ((i = 1; i <= runs; i++)); do
    for set in $sets; do
        (cd "$set" && "$build/spherebench" 2>/dev/null) >report
        cdc=$(sed -n 's/^Concise direction cosines: *\([0-9]*\).*/\1/p' report)
        latlong=$(sed -n 's/^Latitude\/longitude: *\([0-9]*\).*/\1/p' report)
        echo "$cdc $latlong" >>"$set.ticks"
    done
done
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
tests=5210000
for set in $sets; do
    cdc=$(cut -d' ' -f1 "$set.ticks" | median)
    latlong=$(cut -d' ' -f2 "$set.ticks" | median)
    echo "$set: cdc $(cut -d' ' -f1 "$set.ticks" | tr '\n' ' ')"
    echo "$set: lat/long $(cut -d' ' -f2 "$set.ticks" | tr '\n' ' ')"
    echo "$set: medians cdc $cdc ticks ($(echo "scale=2; $cdc * 1000000 / $tests" | bc) ns/test)," \
        "lat/long $latlong ticks ($(echo "scale=2; $latlong * 1000000 / $tests" | bc) ns/test)," \
        "lat/long / cdc $(echo "scale=2; $latlong / $cdc" | bc)"
done
