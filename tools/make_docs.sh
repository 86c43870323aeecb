#!/usr/bin/env bash
# Remakes every generated document and picture of docs/ from the bundled data
# in data/ and the results saved in docs/: ACCURACY.md and path.png from the
# data; REPRESENTATIONS.md and representations.png from the data and the
# suite's run in docs/scaling.json; scaling.png and PERFORMANCE.md's tables
# from that run and the runs of docs/machines/; SCALE.md and scale.png from
# the scale benchmarks' run in docs/scale.json; SEARCH.md and search.png from
# the query benchmarks' run in docs/search.json; README.md's short results
# from the suite's runs and the query benchmarks' run. A second run changes
# nothing. The tables and pictures are rendered by tools/spherebench_docs
# (Python's standard library and gnuplot: Debian apt-get install
# gnuplot-nox); the comparison of stored forms needs libs2-dev and
# libgeographiclib-dev, and is skipped with a note without them. Run from
# anywhere:
#   tools/make_docs.sh            from the saved results
#   tools/make_docs.sh --time     first runs the whole suite again (bench
#                                 preset, about five minutes on a quiet
#                                 machine) and saves its results
#   tools/make_docs.sh --scale    first runs the suite's scale benchmarks up
#                                 to SCALE_MAX locations (default 2^24: about
#                                 ten minutes, 1.3 GB of memory), REPETITIONS
#                                 times each (default 2), and saves the run
#   tools/make_docs.sh --index-scale
#                                 first runs index-scale, the indexes from
#                                 2^20 locations up to SCALE_MAX (default
#                                 2^24; 2^30 takes about half an hour and
#                                 21 GiB of memory), and saves the run in
#                                 docs/index_scale.jsonl
#   tools/make_docs.sh --search   first runs the query benchmarks, every
#                                 search one query at a time up to 2^20
#                                 locations (about ten minutes), and saves
#                                 the run in docs/search.json, and the
#                                 Python module's benchmark in
#                                 docs/python_search.json
# A new run is published to docs/ only on a quiet machine: before it, the
# script waits up to two minutes for the load to fall to half a core per
# core, and after it, spherebench_docs publish refuses the run (which stays
# in build/bench) where the load as it began or the other programs' work
# during it (other_load, from /proc/stat without the run's own CPU time)
# passes that. Runs saved before this check lack other_load; their documents
# say so.
# BUILD_DIR may name an existing build; else the release preset's is used.
# Every file is made aside and replaces the old one only when it is done.
set -euo pipefail

if ! command -v gnuplot >/dev/null; then
    echo "make_docs.sh: gnuplot is needed to draw the pictures (Debian: apt-get install gnuplot-nox); nothing was changed" >&2
    exit 1
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
docs="python3 tools/spherebench_docs"
case "${1:-}" in
    --time | --scale | --index-scale | --search | "") ;;
    *) echo "usage: tools/make_docs.sh [--time | --scale | --index-scale | --search]" >&2; exit 2 ;;
esac

# The machine and compiler, for the run's context (commas and '=' would
# split the flag's list). The harness itself records the load as the run
# begins (load_avg).
context() {
    local cpu compiler
    cpu=$(grep -m1 '^model name' /proc/cpuinfo | sed 's/^[^:]*: *//' | tr -d ',=')
    compiler=$("$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/bench/CMakeCache.txt)" --version | head -n 1 | tr -d ',=')
    echo "cpu=$cpu,compiler=$compiler"
}
# The machine's busy CPU time so far, in clock ticks (user, nice, system, irq
# and softirq of /proc/stat).
busy_ticks() { awk '/^cpu /{ print $2 + $3 + $4 + $7 + $8; exit }' /proc/stat; }
# Runs the suite with these arguments, its output unread, then sets `after`
# to the context pairs of what else ran meanwhile: the load at the end (the
# suite's own threads in it) and other_load, the CPU time every other
# program took over the run's wall-clock time, in cores.
run_suite() {
    local ticks start own
    ticks=$(busy_ticks)
    start=$(date +%s.%N)
    own=$({ TIMEFORMAT='%3U %3S'; time build/bench/benchmarks/spherebench_benchmarks "$@" >/dev/null 2>&3; } 3>&2 2>&1)
    after=("load_at_end=$(cut -d' ' -f1-3 /proc/loadavg)"
           "other_load=$(awk -v busy=$(($(busy_ticks) - ticks)) -v hz="$(getconf CLK_TCK)" -v own="$own" \
               -v wall="$(date +%s.%N) $start" 'BEGIN { split(own, o, " "); split(wall, w, " ")
                   x = (busy / hz - o[1] - o[2]) / (w[1] - w[2]); printf "%.2f", (x > 0 ? x : 0) }')")
}
if [ -n "${1:-}" ]; then
    cmake --preset bench >/dev/null
    cmake --build --preset bench --target spherebench_benchmarks >/dev/null
    # A run on a busy machine would time other work too: wait up to two
    # minutes for the load (the build's own, say) to fall, then refuse.
    for _ in $(seq 12); do $docs quiet 2>/dev/null && break; sleep 10; done
    $docs quiet
fi
# Each run is saved in build/bench first and published to docs/ only when
# its context shows no other work on the machine (spherebench_docs publish).
if [ "${1:-}" = --time ]; then
    echo "running the suite (about five minutes)" >&2
    run_suite --benchmark_filter='-^BM_(Scale|Query)' \
        --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true --benchmark_context="$(context)" \
        --benchmark_out=build/bench/scaling.json --benchmark_out_format=json
    $docs publish build/bench/scaling.json docs/scaling.json "${after[@]}"
fi
if [ "${1:-}" = --scale ]; then
    echo "running the scale benchmarks (about ten minutes)" >&2
    SPHEREBENCH_SCALE_MAX=${SCALE_MAX:-16777216} run_suite \
        --benchmark_filter='^BM_Scale' --benchmark_repetitions="${REPETITIONS:-2}" \
        --benchmark_context="$(context)" \
        --benchmark_out=build/bench/scale.json --benchmark_out_format=json
    # The repetitions only: the documents take their fastest, not the aggregates.
    $docs publish build/bench/scale.json docs/scale.json --runs-only "${after[@]}"
fi
if [ "${1:-}" = --index-scale ]; then
    echo "running index-scale up to ${SCALE_MAX:-16777216} locations" >&2
    cmake --build --preset bench --target index-scale >/dev/null
    SPHEREBENCH_SCALE_MAX=${SCALE_MAX:-16777216} build/bench/benchmarks/index-scale build/bench \
        >build/bench/index_scale.jsonl
    $docs publish-index-scale build/bench/index_scale.jsonl docs/index_scale.jsonl
fi
if [ "${1:-}" = --search ]; then
    echo "running the query benchmarks (about ten minutes)" >&2
    run_suite --benchmark_filter='^BM_Query' \
        --benchmark_repetitions="${REPETITIONS:-3}" --benchmark_min_time="${MIN_TIME:-0.1}" \
        --benchmark_context="$(context)" \
        --benchmark_out=build/bench/search.json --benchmark_out_format=json
    $docs publish build/bench/search.json docs/search.json --runs-only "${after[@]}"
    # The Python module beside scipy's and scikit-learn's trees, where the
    # module is built (Debian's python3 with python3-scipy, python3-sklearn).
    cmake --build --preset release --target spherebench_python >/dev/null 2>&1 &&
        PYTHONPATH=build/release/python /usr/bin/python3 benchmarks/python_search.py \
            --json docs/python_search.json >/dev/null
fi

build=${BUILD_DIR:-}
if [ -z "$build" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target spherebench accuracy-report decode-inputs >/dev/null
    # Defined only where s2geometry and GeographicLib were found.
    cmake --build --preset release --target representations-report >/dev/null 2>&1 || true
    build=$repo/build/release
fi
build=$(cd "$build" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/accuracy-report" data >"$work/accuracy.json"
$docs accuracy "$work/accuracy.json" docs/ACCURACY.md
$docs path "$build" data docs/path.png
echo "wrote docs/ACCURACY.md and docs/path.png"

$docs scaling-plot docs/scaling.json docs/scaling.png
$docs performance docs/PERFORMANCE.md docs/scaling.json docs/machines/*.json
$docs machines-readme docs/machines/README.md docs/scaling.json docs/machines/*.json
echo "wrote docs/scaling.png and the tables of docs/PERFORMANCE.md"

$docs scale docs/scale.json docs/SCALE.md docs/scale.png docs/index_scale.jsonl docs/index_scale.png
echo "wrote docs/SCALE.md, docs/scale.png and docs/index_scale.png"

$docs search docs/search.json docs/SEARCH.md docs/search.png docs/python_search.json
echo "wrote docs/SEARCH.md and docs/search.png"

$docs readme README.md docs/scaling.json docs/search.json docs/machines/*.json
echo "wrote README.md's short results"

if [ ! -x "$build/tools/representations-report" ]; then
    echo "representations-report is not built (it needs libs2-dev and libgeographiclib-dev):" \
         "docs/REPRESENTATIONS.md and docs/representations.png left as they are" >&2
    exit 0
fi
"$build/tools/representations-report" data >"$work/measures.json"
$docs forms "$work/measures.json" docs/scaling.json docs/REPRESENTATIONS.md docs/representations.png
echo "wrote docs/REPRESENTATIONS.md and docs/representations.png"
