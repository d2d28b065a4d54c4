#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/, QUIB_BENCH=ON, no tests) and runs the blit benchmark.
# Each benchmark runs 5 times, interleaved; only the statistics are listed, and the table at the end
# uses the best of the five. Arguments go to the benchmark after these and override them, e.g.
# tools/bench.sh --benchmark_filter=sprites --benchmark_repetitions=1
source "$(dirname "$0")/setup.sh"
dir="$QUIB_ROOT/build-bench"
quib_install_packages
cmake -S "$QUIB_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQUIB_BENCH=ON -DQUIB_TESTS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target blit_bench
"$dir/bench/blit_bench" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true "$@"
