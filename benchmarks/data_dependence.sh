#!/usr/bin/env bash
# Times the whole program on the bundled data and on tables of the same size
# that differ from it in one respect each, to show what makes a lat/long
# test cheaper on the bundled airports than on random directions:
#   bundled    data/airports.ptc and data/flightline.lnc as shipped
#   shuffled   the same airports and points, the airports in another order
#              (a fixed one: shuf with a constant random source)
#   random     as many airports and points of random directions (random-inputs)
# ROUNDS rounds, the sets interleaved in each, each round one
# `spherebench --repeat 3 --json` per set; prints a table of the least ticks
# of each set's runs (tools/spherebench_docs). Run from the repository root:
#   benchmarks/data_dependence.sh [BUILD_DIR [ROUNDS]]    (defaults build/bench, 5)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build/bench}" && pwd)
rounds=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir bundled shuffled random
cp "$repo/data/airports.ptc" "$repo/data/flightline.lnc" bundled/
(grep '^;' bundled/airports.ptc; grep -v '^;' bundled/airports.ptc | shuf --random-source=<(yes)) >shuffled/airports.ptc
cp bundled/flightline.lnc shuffled/
# The bundled files' records: every line but the comments (;) and the end (*).
"$build/tools/random-inputs" random "$(grep -c '^[^;*]' bundled/airports.ptc)" "$(grep -c '^[^;*]' bundled/flightline.lnc)"
sets="bundled shuffled random"
for ((i = 1; i <= rounds; i++)); do
    for set in $sets; do
        "$build/spherebench" --repeat 3 --json "$set.$i.json" "$set" >/dev/null 2>&1
    done
done
# Each set's rounds read as one record: LABEL=FILE,FILE,...
records=()
for set in $sets; do
    files=$set.1.json
    for ((i = 2; i <= rounds; i++)); do files+=",$set.$i.json"; done
    records+=("$set=$files")
done
python3 "$repo/tools/spherebench_docs" program "${records[@]}"
