#!/usr/bin/env bash
# Runs the libFuzzer targets of a QUIVEL_FUZZ build (make fuzz, make fuzz-merge).
#   scripts/fuzz.sh run   BUILD_DIR SECONDS TARGET...   SECONDS 0: until interrupted, in parallel
#   scripts/fuzz.sh merge BUILD_DIR TARGET...            new coverage into tests/fuzz/corpus/
# What a run finds goes to BUILD_DIR/fuzz-corpus/<target>/ (the committed corpus under
# tests/fuzz/corpus/<target>/ is read, never written) and its crashes to
# BUILD_DIR/fuzz-crashes/<target>/. A crash, once fixed, is copied into the committed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=$1
build=$2
shift 2

# Leaks are reported too; undefined behaviour stops the target (it is built not to recover).
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen

run_target() {
    local target=$1 seconds=$2
    local work="$build/fuzz-corpus/$target" crashes="$build/fuzz-crashes/$target"
    mkdir -p "$work" "$crashes"
    local limit=()
    if [ "$seconds" -gt 0 ]; then
        limit=(-max_total_time="$seconds")
    fi
    echo "== fuzz_$target${limit:+ for $seconds s}"
    "$build/fuzz/fuzz_$target" "${limit[@]}" -print_final_stats=1 -timeout=10 \
        -artifact_prefix="$crashes/" "$work" "tests/fuzz/corpus/$target"
}

case "$mode" in
run)
    seconds=$1
    shift
    if [ "$seconds" -gt 0 ]; then
        # A crash in one target does not keep the others from their turn.
        failed=()
        for target in "$@"; do
            run_target "$target" "$seconds" || failed+=("$target")
        done
        if [ ${#failed[@]} -ne 0 ]; then
            echo "Crashed: ${failed[*]} (inputs in $build/fuzz-crashes/)" >&2
            exit 1
        fi
    else
        # Open-ended: every target at once, until Ctrl-C (or a crash) ends them.
        pids=()
        trap 'kill "${pids[@]}" 2>/dev/null || true' INT TERM EXIT
        for target in "$@"; do
            run_target "$target" 0 > "$build/fuzz-$target.log" 2>&1 &
            pids+=($!)
            echo "fuzz_$target: log in $build/fuzz-$target.log"
        done
        wait
    fi
    ;;
merge)
    for target in "$@"; do
        mkdir -p "$build/fuzz-corpus/$target"
        "$build/fuzz/fuzz_$target" -merge=1 "tests/fuzz/corpus/$target" \
            "$build/fuzz-corpus/$target"
    done
    ;;
*)
    echo "usage: $0 run BUILD_DIR SECONDS TARGET... | merge BUILD_DIR TARGET..." >&2
    exit 2
    ;;
esac
