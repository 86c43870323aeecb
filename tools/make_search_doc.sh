#!/usr/bin/env bash
# Remakes docs/SEARCH.md and docs/search.png from one run of the query
# benchmarks (tools/make_docs.sh --search runs this), saving the run's results
# in docs/search.json: every search of the catalogue one query at a time over
# 2^10 to 2^20 locations (SPHEREBENCH_SCALE_MAX may name more), each
# benchmark repeated REPETITIONS times (default 3) for MIN_TIME seconds
# (default 0.1), the least kept: about ten minutes. With --from-saved the
# documents are redrawn from docs/search.json without running anything.
# Needs the bench preset's prerequisites, python3 and gnuplot.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

results=docs/search.json
if [ "${1:-}" != "--from-saved" ]; then
    cmake --preset bench >/dev/null
    cmake --build --preset bench --target spherebench_benchmarks >/dev/null
    cpu=$(grep -m1 '^model name' /proc/cpuinfo | sed 's/^[^:]*: *//' | tr -d ',=')
    compiler=$("$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/bench/CMakeCache.txt)" --version | head -n 1 | tr -d ',=')
    load_before=$(cut -d' ' -f1-3 /proc/loadavg)
    echo "running the query benchmarks; load: $load_before" >&2
    build/bench/benchmarks/spherebench_benchmarks \
        --benchmark_filter='^BM_Query' --benchmark_repetitions="${REPETITIONS:-3}" \
        --benchmark_min_time="${MIN_TIME:-0.1}" \
        --benchmark_context="cpu=$cpu,compiler=$compiler,load_before=$load_before" \
        --benchmark_out=build/bench/search.json --benchmark_out_format=json >/dev/null
    load_after=$(cut -d' ' -f1-3 /proc/loadavg)
    echo "done; load: $load_after" >&2
    # The repetitions only (the document takes their least), with the load
    # at the end beside them.
    python3 benchmarks/suite_results.py runs-only build/bench/search.json "$results" "load_after=$load_after"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 benchmarks/search_doc.py "$results" "$work/SEARCH.md" "$work/lines.gp"
about="run of $(python3 benchmarks/suite_results.py date "$results"), least of repetitions;\
 load $(python3 benchmarks/suite_results.py context "$results" load_before) at the start"
gnuplot -e "lines='$work/lines.gp'; about='$about'; output='$work/search.png'" tools/plot_search.gp
mv "$work/SEARCH.md" docs/SEARCH.md
mv "$work/search.png" docs/search.png
echo "wrote docs/SEARCH.md and docs/search.png"
