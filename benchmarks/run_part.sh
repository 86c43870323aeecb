#!/usr/bin/env bash
# Runs the benchmarks of the suite that FILTER selects (bench preset, built
# first) and saves their repetitions alone, with the machine, the compiler
# and the load before and after the run in the context, as RESULTS.json:
#   benchmarks/run_part.sh FILTER RESULTS.json [more Google Benchmark flags]
# The scale and search documents' scripts run their benchmarks through here.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
filter=$1 results=$2
shift 2
cmake --preset bench >/dev/null
cmake --build --preset bench --target spherebench_benchmarks >/dev/null
cpu=$(grep -m1 '^model name' /proc/cpuinfo | sed 's/^[^:]*: *//' | tr -d ',=')
compiler=$("$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/bench/CMakeCache.txt)" --version | head -n 1 | tr -d ',=')
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "running $filter; load: $load_before" >&2
build/bench/benchmarks/spherebench_benchmarks --benchmark_filter="$filter" "$@" \
    --benchmark_context="cpu=$cpu,compiler=$compiler,load_before=$load_before" \
    --benchmark_out=build/bench/part.json --benchmark_out_format=json >/dev/null
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
echo "done; load: $load_after" >&2
# The load at the end beside the results it describes; the repetitions only
# (the documents take their fastest, not the aggregates).
python3 benchmarks/suite_results.py runs-only build/bench/part.json "$results" "load_after=$load_after"
