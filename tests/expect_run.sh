#!/bin/sh
# A command as a user meets it: COMMAND (run by sh, in a fresh temporary
# folder) exits with STATUS; its standard output matches OUT and its standard
# error ERR, each a grep pattern, or "-" for nothing at all. Both streams are
# shown.
#   tests/expect_run.sh STATUS OUT ERR COMMAND
status=$1
out_pattern=$2
err_pattern=$3
command=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
sh -c "$command" >"$work.out" 2>"$work.err"
got=$?
trap 'rm -rf "$work" "$work.out" "$work.err"' EXIT
echo "status $got (expected $status)"
echo "--- standard output"
head -c 2000 "$work.out"
echo "--- standard error"
cat "$work.err"
matches() {  # FILE PATTERN
    if [ "$2" = - ]; then test ! -s "$1"; else grep -q -- "$2" "$1"; fi
}
test "$got" = "$status" && matches "$work.out" "$out_pattern" && matches "$work.err" "$err_pattern"
