#!/usr/bin/env bash
# Builds and runs the benchmarks (Google Benchmark unless said): picture
# synthesis, a channel with one and two viewers, measurement on a frame, the
# data-frame file writers, the SD card's search and downloads, a tick of the
# temperature trend window (offscreen); then, under
# Xvfb, the whole live-video pipeline and an alarm burst through the client.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build scripts/build.sh -DSDKDEMO_BUILD_BENCH=ON >/dev/null
build/bench/bench_synthesis --benchmark_min_time=1
build/bench/bench_producer --benchmark_min_time=2
build/bench/bench_measure
build/bench/bench_datafile
build/bench/bench_sdcard
build/bench/trend_tick
xvfb-run -a -s "-screen 0 1400x920x24" build/bench/pipeline_bench
xvfb-run -a -s "-screen 0 1400x920x24" build/bench/alarm_load
