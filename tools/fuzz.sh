#!/usr/bin/env bash
# Builds one fuzz target with clang and libFuzzer (ASan and UBSan on) and runs it for a while.
# Usage: tools/fuzz.sh TARGET SECONDS   e.g. tools/fuzz.sh ini 600
# The build goes to build-fuzz/, the growing corpus to fuzz-corpus/TARGET/ (seeded from
# tests/fuzz/corpus/TARGET/), crash inputs to fuzz-corpus/TARGET-crashes/. Prints the run's figures.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 TARGET SECONDS" >&2
    exit 2
fi
target="$1"
seconds="$2"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUIB_FUZZ_BUILD:-$root/build-fuzz}"
corpus="$root/fuzz-corpus/$target"
crashes="$root/fuzz-corpus/$target-crashes"
seeds="$root/tests/fuzz/corpus/$target"

if [ ! -f "$root/tests/fuzz/fuzz_$target.cpp" ]; then
    echo "no fuzz target tests/fuzz/fuzz_$target.cpp" >&2
    exit 2
fi

# Everything is instrumented for coverage and the sanitizers; the target adds the fuzzing engine.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link" -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" \
    -DQUIB_SANITIZE=ON -DQUIB_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target "fuzz_$target"

mkdir -p "$corpus" "$crashes"
# Targets write their inputs to temporary files; memory-backed ones keep the run fast.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
log="$build/fuzz_$target.log"
echo "fuzzing $target for $seconds s (log: $log)"
start=$(date +%s)
status=0
(cd "$build" && HOST_BACKEND=headless "$build/tests/fuzz/fuzz_$target" \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$crashes/" \
    "$corpus" "$seeds") >"$log" 2>&1 || status=$?
elapsed=$(( $(date +%s) - start ))

runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
if [ -z "$runs" ]; then
    runs=$(grep -o '#[0-9]*' "$log" | tail -1 | tr -d '#' || true)
fi
echo "target $target: ${elapsed} s, ${runs:-unknown} executions, exit status $status"
if [ "$status" -ne 0 ]; then
    echo "failure; the end of the log:"
    tail -n 40 "$log"
fi
exit "$status"
