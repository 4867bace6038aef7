#!/usr/bin/env bash
# Fuzzes every target for a bounded time, starting from the committed seed
# corpus (copied: the repository is not written to). A crash leaves its input
# in the artifact folder named on the last line and fails the run.
# Usage: run.sh BIN-DIR SECONDS-PER-TARGET
set -u
bin_dir=$1 seconds=$2
corpus_dir=$(cd "$(dirname "$0")" && pwd)/corpus
work=$(mktemp -d /tmp/dalv-fuzz.XXXXXX) || exit 2
failed=0
for target in chomp read_double read_int read_string; do
    exe=$bin_dir/fuzz_$target
    [ -x "$exe" ] || { echo "SETUP: no fuzz target $exe" >&2; exit 2; }
    mkdir -p "$work/$target/corpus" "$work/$target/crashes"
    cp "$corpus_dir/$target"/* "$work/$target/corpus/"
    if "$exe" -max_total_time="$seconds" -close_fd_mask=3 -print_final_stats=1 \
        -artifact_prefix="$work/$target/crashes/" "$work/$target/corpus" \
        >"$work/$target/log" 2>&1; then
        runs=$(grep -m1 stat::number_of_executed_units "$work/$target/log" | awk '{print $2}')
        cov=$(grep -o 'cov: [0-9]*' "$work/$target/log" | tail -1)
        echo "fuzz $target: ${runs:-?} executions, $cov, no crash"
    else
        failed=1
        echo "fuzz $target: FAILED"
        tail -40 "$work/$target/log"
    fi
done
if [ "$failed" = 1 ]; then
    echo "crash inputs are in $work"
    exit 1
fi
rm -rf "$work"
