#!/bin/sh
# make-inputs and decode-inputs where they meet the file system: -o keeps an
# existing file and leaves no temporary file when it refuses, replaces it
# when it succeeds, and takes a list as long as the benchmark holds;
# decode-inputs refuses a directory and a full disk.
#   tests/tool_outputs.sh MAKE_INPUTS DECODE_INPUTS
set -u
make_inputs=$1
decode_inputs=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
check() {  # DESCRIPTION, then a command that must succeed
    what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}

mkdir out
echo old >out/airports.ptc
printf '19.09,72.87,Bombay\n' >headerless.csv
"$make_inputs" airports headerless.csv -o out/airports.ptc 2>err
check "a refusal exits 1" test $? = 1
check "a refusal names what is missing" grep -q 'no latitude, longitude or name column' err
check "a refusal leaves the old file" test "$(cat out/airports.ptc)" = old
check "a refusal leaves no temporary file" test "$(ls -A out)" = airports.ptc

printf 'name,lon,lat\nBombay,72.87,19.09\n' >reordered.csv
check "-o replaces the file" "$make_inputs" airports reordered.csv --output out/airports.ptc
check "the new file holds the airport" grep -q ' Bombay$' out/airports.ptc
check "and nothing else is left" test "$(ls -A out)" = airports.ptc

"$make_inputs" airports reordered.csv -o /dev/full 2>err
check "a failed write exits 1" test $? = 1
check "a failed write says so" grep -q "can't write /dev/full" err

check "--help after a command exits 0" "$make_inputs" flightline --help >help
check "--help prints the usage on standard output" grep -q '^usage: make-inputs' help

(echo latitude,longitude,name; yes '1,2,Gate' | head -n 14000) >full.csv
check "a list of exactly 14000 airports is written" "$make_inputs" airports full.csv -o full.ptc
check "and every airport is in it" test "$(grep -c ' Gate$' full.ptc)" = 14000

mkdir dir.ptc
"$decode_inputs" dir.ptc >out.txt 2>err
check "decode-inputs refuses a directory with status 1" test $? = 1
check "decode-inputs says why" grep -q 'dir.ptc: it is a directory' err
"$decode_inputs" out/airports.ptc >/dev/full 2>err
check "decode-inputs into a full disk exits 1" test $? = 1
check "decode-inputs says it can't write" grep -q "can't write the output" err
exit $failed
