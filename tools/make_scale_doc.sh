#!/usr/bin/env bash
# Remakes docs/SCALE.md and docs/scale.png from one run of the benchmark
# suite's scale benchmarks (tools/make_docs.sh --scale runs this), saving the
# run's results in docs/scale.json. The largest table is SCALE_MAX locations
# (default 2^24: about ten minutes and 1.3 GB of memory), each benchmark
# repeated REPETITIONS times (default 2), the fastest kept. With --from-saved
# the documents are redrawn from docs/scale.json without running anything.
# Needs the bench preset's prerequisites, python3 and gnuplot.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

# A cache's size in bytes from sysfs, by level and type (Data, Unified).
cache_bytes() {
    local dir
    for dir in /sys/devices/system/cpu/cpu0/cache/index*; do
        if [ "$(cat "$dir/level")" = "$1" ] && [ "$(cat "$dir/type")" = "$2" ]; then
            awk '/K$/ { print $1 * 1024; exit } /M$/ { print $1 * 1048576; exit } { print $1 + 0 }' "$dir/size"
            return
        fi
    done
    echo "make_scale_doc.sh: no level $1 $2 cache in sysfs" >&2
    exit 1
}
l1=$(cache_bytes 1 Data)
l2=$(cache_bytes 2 Unified)
l3=$(cache_bytes 3 Unified)

results=docs/scale.json
if [ "${1:-}" != "--from-saved" ]; then
    SPHEREBENCH_SCALE_MAX=${SCALE_MAX:-16777216} benchmarks/run_part.sh '^BM_Scale' "$results" \
        --benchmark_repetitions="${REPETITIONS:-2}"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 benchmarks/scale_report.py "$results" "$l1" "$l2" "$l3" "$work/SCALE.md" "$work/lines.gp" "$work/scale.dat"
about="run of $(python3 benchmarks/suite_results.py date "$results"), fastest of repetitions;\
 load $(python3 benchmarks/suite_results.py context "$results" load_before) at the start"
gnuplot -e "lines='$work/lines.gp'; l1=$l1; l2=$l2; l3=$l3; about='$about'; output='$work/scale.png'" tools/plot_scale.gp
mv "$work/SCALE.md" docs/SCALE.md
mv "$work/scale.png" docs/scale.png
echo "wrote docs/SCALE.md and docs/scale.png"
