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
    benchmarks/run_part.sh '^BM_Query' "$results" --benchmark_repetitions="${REPETITIONS:-3}" \
        --benchmark_min_time="${MIN_TIME:-0.1}"
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
