#!/bin/sh
# docs/REPRESENTATIONS.md as it is committed is what representations-report's
# record and the saved suite run render to, byte for byte: the record is
# valid JSON with every field the document reads, and the document is up to
# date with the measures.
#   representations_document.sh PYTHON REPRESENTATIONS_REPORT SOURCE_DIR
set -eu
python=$1 tool=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" "$source/data" >"$work/measures.json"
"$python" "$source/tools/spherebench_docs" forms "$work/measures.json" "$source/docs/scaling.json" "$work/doc.md"
if ! cmp -s "$work/doc.md" "$source/docs/REPRESENTATIONS.md"; then
    diff "$source/docs/REPRESENTATIONS.md" "$work/doc.md" | head -n 20
    echo "docs/REPRESENTATIONS.md is not what the measures render to: run tools/make_docs.sh" >&2
    exit 1
fi
