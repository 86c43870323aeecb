#!/usr/bin/env bash
# Remakes docs/ACCURACY.md and docs/path.png from the bundled data in data/.
# Needs the build's prerequisites and, for the picture, gnuplot
# (Debian: apt-get install gnuplot-nox). Run from anywhere:
#   tools/make_docs.sh
# BUILD_DIR may name an existing build; else the release preset's is used.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
build=${BUILD_DIR:-}
if [ -z "$build" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target spherebench accuracy-report decode-inputs >/dev/null
    build=$repo/build/release
fi

"$build/tools/accuracy-report" data >docs/ACCURACY.md

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
east='{ lon = $2; if (lon < 0) lon += 360; print lon, $1 }'
"$build/tools/decode-inputs" data/airports.ptc | awk "$east" >"$work/all.dat"
"$build/tools/decode-inputs" data/flightline.lnc | awk "$east" >"$work/path.dat"
# The airports of the direction-cosine pass's list ("n lat lon name"),
# labelled with the IATA code at the end of the name, else its first word.
(cd data && "$build/spherebench" 2>/dev/null) |
    awk '/test proximity using CDC/ { on = 1; next } /^\[Duration/ { on = 0 } on {
        lat = $2; lon = $3; if (lon < 0) lon += 360
        name = $0; sub(/^ *[0-9]+ +[-0-9.]+ +[-0-9.]+ /, "", name)
        if (match(name, /\([A-Z0-9]+\)$/)) label = substr(name, RSTART + 1, RLENGTH - 2); else label = $4
        printf "%s %s \"%s\"\n", lon, lat, label
    }' >"$work/listed.dat"
gnuplot -e "all_airports='$work/all.dat'; path_points='$work/path.dat'; listed='$work/listed.dat'; output='docs/path.png'" \
    tools/plot_path.gp
echo "wrote docs/ACCURACY.md and docs/path.png"
