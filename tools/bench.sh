#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/, QUIB_BENCH=ON, no tests) and runs them: the blit
# benchmark, the frame benchmark, the 3D frame benchmark, the rasterizer benchmark and the two
# model-loading benchmarks, or only the one named first ("blit", "frame", "frame3d", "raster",
# "m3d_load" or "x_load"). The rasterizer benchmark runs
# twice: against Mesa single-threaded, then against Mesa with its default threads.
# Each benchmark runs 5 times, interleaved; only the statistics are listed, and the summary at the end
# uses every timed run (blit: the best of the five; frame: the median frame). Further arguments go to
# the benchmark after these and override them, e.g.
# tools/bench.sh blit --benchmark_filter=sprites --benchmark_repetitions=1
source "$(dirname "$0")/setup.sh"
dir="$QUIB_ROOT/build-bench"
benches=(blit_bench frame_bench frame3d_bench raster_bench m3d_load_bench x_load_bench)
case "${1:-}" in
blit | frame | frame3d | raster | m3d_load | x_load)
    benches=("$1_bench")
    shift
    ;;
esac
quib_install_packages
cmake -S "$QUIB_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQUIB_BENCH=ON -DQUIB_TESTS=OFF >/dev/null
# Each benchmark is built and run on its own: one that fails to build or to run is reported and the
# others still run; the exit status is 1 when any failed.
status=0
for bench in "${benches[@]}"; do
    if ! cmake --build "$dir" -j "$(nproc)" --target "$bench"; then
        echo "bench.sh: $bench did not build" >&2
        status=1
        continue
    fi
    runs=("")
    [ "$bench" = raster_bench ] && runs=("" --mesa_threads=default)
    for extra in "${runs[@]}"; do
        "$dir/bench/$bench" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
            --benchmark_report_aggregates_only=true ${extra:+"$extra"} "$@" || {
            echo "bench.sh: $bench failed" >&2
            status=1
        }
    done
done
exit $status
