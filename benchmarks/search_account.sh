#!/bin/sh
# The account of where each index's time goes, per query: what its walk did
# (search-account's counts), and the instructions and the first-level data
# cache's misses (lines brought in) of the queries alone, counted by
# callgrind's cache simulation: repeatable whatever else the machine does.
#
#   benchmarks/search_account.sh [BUILD_DIR] [CASE...]
#       BUILD_DIR  a build with the benchmarks (default build/release)
#       CASE       TABLE:COUNT:QUERIES (default: the bundled airports along
#                  the path and uniform; 14000 and 2^20 uniform and one city)
set -eu
build=${1:-build/release}
[ $# -gt 0 ] && shift
program=$build/benchmarks/search-account
cases=${*:-airports:0:path airports:0:uniform uniform:14000:uniform city:14000:near city:14000:uniform \
    uniform:1048576:uniform city:1048576:near}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for case in $cases; do
    IFS=: read -r table count queries <<CASE
$case
CASE
    for index in CdcIndex LatLongIndex S2PointIndex NanoflannKdTree; do
        counts=$(valgrind --tool=callgrind --cache-sim=yes --toggle-collect='*ask_all*' \
            --callgrind-out-file="$out" "$program" "$index" "$table" "$count" "$queries" 2>/dev/null) || continue
        # events: Ir Dr Dw I1mr D1mr D1mw ILmr DLmr DLmw
        set -- $(sed -n 's/^summary: *//p' "$out") 0 0 0 0 0 0 0 0 0  # callgrind leaves trailing zeros out
        echo "$table $count $queries: $counts" | sed 's/ (checksum.*//'
        echo "    per query: $(( $1 / 1000 )) instructions, $(( ($5 + $6) / 1000 )) first-level data misses," \
            "$(( ($8 + $9) / 1000 )) last-level misses"
    done
done
