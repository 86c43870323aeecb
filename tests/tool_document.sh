#!/bin/sh
# A document rendered from a tool's record is, as committed, what the tool's
# record renders to, byte for byte: the record is valid JSON with every field
# the document reads, and the document is up to date with the data.
#   tool_document.sh PYTHON TOOL SOURCE_DIR DOC COMMAND [RUN...]
# runs TOOL on SOURCE_DIR/data, renders its record with
# `tools/spherebench_docs COMMAND RECORD [SOURCE_DIR/RUN...] OUT` and compares
# OUT with SOURCE_DIR/DOC.
set -eu
python=$1 tool=$2 source=$3 doc=$4 command=$5
shift 5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" "$source/data" >"$work/record.json"
runs=""
for run in "$@"; do runs="$runs $source/$run"; done
# shellcheck disable=SC2086 # the runs' paths hold no blanks
"$python" "$source/tools/spherebench_docs" "$command" "$work/record.json" $runs "$work/doc.md"
if ! cmp -s "$work/doc.md" "$source/$doc"; then
    diff "$source/$doc" "$work/doc.md" | head -n 20
    echo "$doc is not what $(basename "$tool")'s record renders to: run tools/make_docs.sh" >&2
    exit 1
fi
