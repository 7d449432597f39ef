#!/usr/bin/env bash
# Builds and runs the benchmarks: picture synthesis and the cost of a channel
# with one and two viewers (Google Benchmark), and the whole live-video
# pipeline under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build scripts/build.sh -DSDKDEMO_BUILD_BENCH=ON >/dev/null
build/bench/bench_synthesis --benchmark_min_time=1
build/bench/bench_producer --benchmark_min_time=2
xvfb-run -a -s "-screen 0 1400x920x24" build/bench/pipeline_bench
