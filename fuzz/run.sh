#!/usr/bin/env bash
# Fuzzes every target of a build for a bounded time, starting from its seeds
# (listed by the build in fuzz_<target>.seeds, and copied: the repository is
# not written to). A crash leaves its input in the artifact folder named on
# the last line and fails the run.
# Usage: run.sh BIN-DIR SECONDS-PER-TARGET
. "$(dirname "$0")/../tests/lib.sh"
bin_dir=$1 seconds=$2
for seeds in "$bin_dir"/fuzz_*.seeds; do
    exe=${seeds%.seeds}
    target=${exe##*/fuzz_}
    need_program "$exe"
    mkdir -p "$work/$target/corpus" "$work/$target/crashes"
    xargs -d '\n' cp -t "$work/$target/corpus/" <"$seeds" || setup_broken "seeds of $target"
    if "$exe" -max_total_time="$seconds" -close_fd_mask=3 -print_final_stats=1 \
        -artifact_prefix="$work/$target/crashes/" "$work/$target/corpus" \
        >"$work/$target/log" 2>&1; then
        runs=$(grep -m1 stat::number_of_executed_units "$work/$target/log" | awk '{print $2}')
        cov=$(grep -o 'cov: [0-9]*' "$work/$target/log" | tail -1)
        echo "fuzz $target: ${runs:-?} executions, $cov, no crash"
    else
        name=$target fail "fuzzing found a fault"
        tail -40 "$work/$target/log"
    fi
done
[ -n "${target:-}" ] || setup_broken "no fuzz target in $bin_dir"
if [ "$failures" != 0 ]; then
    keep_work=1
    echo "crash inputs are in $work"
fi
finish
