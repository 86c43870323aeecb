#!/bin/sh
# A refusal as a user meets it: COMMAND (run by sh) exits with status 1,
# writes nothing to standard output and a line matching PATTERN to standard
# error, which is shown.
#   tests/expect_refusal.sh PATTERN COMMAND
pattern=$1
command=$2
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
sh -c "$command" >"$out" 2>"$err"
status=$?
cat "$err"
test "$status" = 1 && test ! -s "$out" && grep -q -- "$pattern" "$err"
