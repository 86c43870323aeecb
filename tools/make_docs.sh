#!/usr/bin/env bash
# Remakes docs/ACCURACY.md and docs/path.png from the bundled data in data/,
# docs/REPRESENTATIONS.md and docs/representations.png from it and the
# benchmark suite's results saved in docs/scaling.json, and docs/scaling.png
# from those results (docs/PERFORMANCE.md quotes them: benchmarks/report.py
# prints its tables), and PERFORMANCE.md's table of machines from the runs in
# docs/machines/. Needs the
# build's prerequisites and, for the pictures, gnuplot (Debian: apt-get install
# gnuplot-nox); the comparison of stored forms needs libs2-dev and
# libgeographiclib-dev, and is skipped with a note without them. Run from
# anywhere:
#   tools/make_docs.sh            from the saved suite results
#   tools/make_docs.sh --time     first runs the whole suite again (bench
#                                 preset, about five minutes on a quiet
#                                 machine) and saves its results
#   tools/make_docs.sh --scale    only runs the suite's scale benchmarks up to
#                                 2^24 locations (about ten minutes, 1.3 GB of
#                                 memory) and remakes docs/SCALE.md and
#                                 docs/scale.png from that run alone
#   tools/make_docs.sh --search   only runs the query benchmarks, every
#                                 search one query at a time up to 2^20
#                                 locations (about ten minutes), and remakes
#                                 docs/SEARCH.md and docs/search.png from
#                                 that run alone (tools/make_search_doc.sh;
#                                 --search --from-saved redraws them from
#                                 docs/search.json)
# BUILD_DIR may name an existing build; else the release preset's is used.
# Each document and its picture are made aside and replace the old ones only
# when both are done.
set -euo pipefail

if ! command -v gnuplot >/dev/null; then
    echo "make_docs.sh: gnuplot is needed to draw docs/path.png (Debian: apt-get install gnuplot-nox); nothing was changed" >&2
    exit 1
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
time_suite=
case "${1:-}" in
    --time) time_suite=1 ;;
    --scale) exec tools/make_scale_doc.sh ;;
    --search) exec tools/make_search_doc.sh "${2:-}" ;;
    "") ;;
    *) echo "usage: tools/make_docs.sh [--time | --scale | --search [--from-saved]]" >&2; exit 2 ;;
esac
build=${BUILD_DIR:-}
if [ -z "$build" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target spherebench accuracy-report decode-inputs >/dev/null
    # Defined only where s2geometry and GeographicLib were found.
    cmake --build --preset release --target representations-report >/dev/null 2>&1 || true
    build=$repo/build/release
fi
build=$(cd "$build" && pwd)  # used from data/ too

if [ -n "$time_suite" ]; then
    cmake --preset bench >/dev/null
    cmake --build --preset bench --target spherebench_benchmarks >/dev/null
    # The machine and compiler, for the report (commas and '=' would split
    # the flag's list).
    cpu=$(grep -m1 '^model name' /proc/cpuinfo | sed 's/^[^:]*: *//' | tr -d ',=')
    compiler=$("$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/bench/CMakeCache.txt)" --version | head -n 1 | tr -d ',=')
    echo "running the suite (about five minutes); load: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
    build/bench/benchmarks/spherebench_benchmarks --benchmark_filter=-BM_Scale \
        --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true \
        --benchmark_context="cpu=$cpu,compiler=$compiler" \
        --benchmark_out=docs/scaling.json --benchmark_out_format=json >/dev/null
    echo "suite done; load: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/accuracy-report" data >"$work/ACCURACY.md"

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
# Label places on the map and in its inset of the US west coast: the plot
# areas (screen fractions) and ranges that tools/plot_path.gp sets.
inset_box=234.5,246.5,32.5,51
awk -v area=0.055,0.985,0.075,0.94 -v ranges=55,260,5,82 -v box=$inset_box -v inside=0 \
    -f tools/place_labels.awk "$work/path.dat" "$work/listed.dat" >"$work/map_labels.dat"
awk -v area=0.505,0.82,0.165,0.59 -v ranges=$inset_box -v box=$inset_box -v inside=1 \
    -f tools/place_labels.awk "$work/path.dat" "$work/listed.dat" >"$work/inset_labels.dat"
gnuplot -e "all_airports='$work/all.dat'; path_points='$work/path.dat'; map_labels='$work/map_labels.dat'" \
    -e "inset_labels='$work/inset_labels.dat'; output='$work/path.png'" tools/plot_path.gp
mv "$work/ACCURACY.md" docs/ACCURACY.md
mv "$work/path.png" docs/path.png
echo "wrote docs/ACCURACY.md and docs/path.png"

benchmarks/plot_scaling.sh docs/scaling.json "$work/scaling.png"
mv "$work/scaling.png" docs/scaling.png
echo "wrote docs/scaling.png"

# The table of machines in docs/PERFORMANCE.md, between its two marker lines,
# from every run saved in docs/machines/.
python3 benchmarks/report.py --machines docs/machines/*.json >"$work/machines.md"
awk -v table="$work/machines.md" '
    /^<!-- machines table/ { print; while ((getline line < table) > 0) print line; skip = 1; next }
    /^<!-- end of machines table/ { skip = 0 }
    !skip' docs/PERFORMANCE.md >"$work/PERFORMANCE.md"
mv "$work/PERFORMANCE.md" docs/PERFORMANCE.md
echo "wrote the machines table in docs/PERFORMANCE.md"

if [ ! -x "$build/tools/representations-report" ]; then
    echo "representations-report is not built (it needs libs2-dev and libgeographiclib-dev):" \
         "docs/REPRESENTATIONS.md and docs/representations.png left as they are" >&2
    exit 0
fi
# The suite's results are read by benchmarks/suite_results.py alone.
python3 benchmarks/suite_results.py figures docs/scaling.json >"$work/suite_figures.txt"
"$build/tools/representations-report" data "$work/suite_figures.txt" "$work/forms.dat" >"$work/REPRESENTATIONS.md"
run_date=$(python3 benchmarks/suite_results.py date docs/scaling.json)
gnuplot -e "forms='$work/forms.dat'; run_date='$run_date'; output='$work/representations.png'" \
    tools/plot_representations.gp
mv "$work/REPRESENTATIONS.md" docs/REPRESENTATIONS.md
mv "$work/representations.png" docs/representations.png
echo "wrote docs/REPRESENTATIONS.md and docs/representations.png"
