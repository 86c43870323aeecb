#!/bin/sh
# Times the whole program on full tables of random directions (the program's
# capacities of airports and points, files written by random-inputs): RUNS runs of each pass in turn
# (spherebench --repeat RUNS), their record saved as JSON, and a table of the
# least clock ticks of each pass (tools/spherebench_docs).
#
#   benchmarks/whole_program.sh [BUILD_DIR [RUNS [RECORD.json]]]
#       (defaults build/bench, 5, build/bench/whole_program.json)
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build/bench}" && pwd)
runs=${2:-5}
record=${3:-$build/whole_program.json}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/random-inputs" "$work"
"$build/spherebench" --repeat "$runs" --json "$record" "$work" >/dev/null 2>&1
python3 "$repo/tools/spherebench_docs" program "$record"
