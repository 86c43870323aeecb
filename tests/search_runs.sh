#!/bin/sh
# spherebench with another search against its default run on the same
# inputs: standard output the same but for the timing fields (the duration
# lines, the summary's figures and the spread of repeated runs), standard
# error the same byte for byte. Prints "same" when they are. COMMON (split
# into words) goes to both runs, the OPTIONs to the other only.
#   tests/search_runs.sh SPHEREBENCH COMMON OPTION...
program=$1
common=$2
shift 2
"$program" $common >brute.out 2>brute.err || exit 1
"$program" $common "$@" >other.out 2>other.err || exit 1
untimed() {  # FILE: the report without its timing fields
    sed -e 's/^\[Duration [0-9:.]*\]$/[Duration]/' \
        -e 's/^\(Concise direction cosines:\|Latitude\/longitude:\) .*/\1/' \
        -e '/^Spread of [0-9]* runs:/,$d' "$1"
}
untimed brute.out >brute.txt
untimed other.out >other.txt
cmp brute.txt other.txt && cmp brute.err other.err && test -s brute.txt && echo same
