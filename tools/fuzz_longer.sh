#!/usr/bin/env bash
# Runs each fuzz target for longer than CI's 60 s, from its committed seed
# corpus, and keeps the inputs that grew coverage: they are merged
# (libFuzzer's -merge=1, which keeps only inputs that add coverage) into the
# seed corpus, for a commit to carry. A finding stops the run, its input
# kept in build/fuzz/ and the log's end printed.
#
#   tools/fuzz_longer.sh [seconds per target, 600 by default] [target...]
#
# The targets are loader_fuzz, search_fuzz and saved_index_fuzz, built by the fuzz preset
# (cmake --preset fuzz && cmake --build --preset fuzz --target <target>).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=(loader_fuzz search_fuzz saved_index_fuzz); fi

# Each target's committed seed corpus.
corpus_of() {
    case "$1" in
        loader_fuzz) echo fuzz/corpus ;;
        search_fuzz) echo fuzz/search_corpus ;;
        saved_index_fuzz) echo fuzz/saved_corpus ;;
        *) echo "fuzz_longer.sh: no corpus known for $1" >&2; exit 2 ;;
    esac
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
    corpus=$(corpus_of "$target")
    binary=build/fuzz/fuzz/$target
    [ -x "$binary" ] || { echo "fuzz_longer.sh: build $binary first (the fuzz preset)" >&2; exit 2; }
    mkdir -p "$work/$target"
    log=build/fuzz/$target.longer.log
    echo "$target: $seconds s from $corpus (log: $log)"
    if ! "$binary" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
            -artifact_prefix=build/fuzz/ "$work/$target" "$corpus" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "$target found a fault (log: $log)" >&2
        exit 1
    fi
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$log"
    before=$(ls "$corpus" | wc -l)
    "$binary" -merge=1 -rss_limit_mb=4096 "$corpus" "$work/$target" >"$work/$target.merge.log" 2>&1
    echo "$target: $corpus holds $(ls "$corpus" | wc -l) inputs, $before before"
done
