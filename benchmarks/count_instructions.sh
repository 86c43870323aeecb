#!/bin/sh
# Instructions per proximity test of each pass's search loop and of each
# floor (see floors.h), counted by
# callgrind: independent of the machine's load, so a change that adds work to
# an inner loop shows here even when timings are too noisy to tell.
#
#   benchmarks/count_instructions.sh [BUILD_DIR [AIRPORTS [POINTS]]]
#       (defaults build/bench, and search-instructions' own: the program's
#       capacity of airports, 100 points)
set -eu
build=${1:-build/bench}
[ $# -gt 0 ] && shift
program=$build/benchmarks/search-instructions
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for method in cdc cdc-floor latlong latlong-floor; do
    case $method in
        cdc) function='*search_all<*CdcMethodWith*' ;;
        latlong) function='*search_all<*LatLongMethod>*' ;;
        *-floor) function='floor_all*' ;;
    esac
    # The program prints how many tests it made.
    tests=$(valgrind --tool=callgrind --toggle-collect="$function" --callgrind-out-file="$out" \
        "$program" $method "$@" 2>/dev/null | sed -n 's/^\([0-9]*\) tests.*/\1/p')
    instructions=$(sed -n 's/^summary: *//p' "$out")
    echo "$method: $instructions instructions / $tests tests =" \
        "$(echo "scale=2; $instructions / $tests" | bc) per test"
done
