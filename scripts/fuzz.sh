#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ (or $FUZZ_BUILD_DIR) and runs
# each for a while. A build folder configured with -DSDKDEMO_FUZZ=ON already
# (the test command's sanitizer build) keeps its own settings.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS per target (default 10); TARGETs are names like modbus or
# entry_points (default: all of fuzz/). FUZZ_JOBS=2 runs two at a time;
# FUZZ_BUILD_ONLY=1 builds them and stops.
# Each target works on a copy of its seed corpus in
# <build>/run/<target>/corpus, inside its own scratch folder; the checked-in
# seeds in fuzz/corpus/ are never written. A crash, sanitizer report, timeout
# or memory blow-up leaves its input as <build>/run/<target>/crash-* (or
# timeout-*, oom-*, leak-*) and makes the script fail; reproduce it with
#   <build>/fuzz/fuzz_<target> <build>/run/<target>/crash-...
# Prints one line per target: executions, executions per second, edges
# covered, corpus size, and memory (seeds loaded / halfway / peak).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m -- "${FUZZ_BUILD_DIR:-build-fuzz}")

seconds=${1:-10}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/fuzz_*.cpp; do
    n=$(basename "$f" .cpp)
    targets+=("${n#fuzz_}")
  done
fi

"$root/scripts/install-deps.sh"
if ! grep -q '^SDKDEMO_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  generator=()
  [ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
  CC=clang CXX=clang++ cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSDKDEMO_FUZZ=ON -DSDKDEMO_BUILD_TESTS=OFF -DSDKDEMO_BUILD_BENCH=OFF >/dev/null
fi
build_targets=()
for t in "${targets[@]}"; do build_targets+=(--target "fuzz_$t"); done
cmake --build "$build" -j"$(nproc)" "${build_targets[@]}"
[ "${FUZZ_BUILD_ONLY:-0}" = 1 ] && exit 0

run_one() {
  local t=$1 dir="$build/run/$1"
  rm -rf "$dir/work"
  mkdir -p "$dir/corpus" "$dir/work"
  # Seeds replace their older copies; what the runs added stays.
  [ -d "$root/fuzz/corpus/$t" ] && cp -f "$root/fuzz/corpus/$t"/* "$dir/corpus/" 2>/dev/null || true
  local status=0
  ( cd "$dir/work" &&
    QT_QPA_PLATFORM=offscreen TMVSIM_SDCARD_ROOT="$dir/work/sdcard" \
    ASAN_OPTIONS=detect_leaks=1 \
    LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -close_fd_mask=1 -artifact_prefix="$dir/" "$dir/corpus" \
      > "$dir/log" 2>&1 ) || status=$?
  local execs rate peak cov corpus start
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log")
  peak=$(sed -n 's/^stat::peak_rss_mb: *//p' "$dir/log")
  # Memory once the seeds are loaded and halfway through, against the peak
  # of the whole run: a target that leaks keeps growing after halfway.
  start=$(grep -m1 -o 'INITED.*rss: [0-9]*' "$dir/log" | grep -o '[0-9]*$' || true)
  half=$(awk -v n="${execs:-0}" '/^#[0-9]+/ && / rss: / { sub(/^#/, "", $1); if ($1 + 0 <= n / 2) { r = $0; sub(/.* rss: /, "", r); sub(/Mb.*/, "", r) } } END { print r }' "$dir/log")
  cov=$(grep -o 'cov: [0-9]*' "$dir/log" | tail -1 | cut -d' ' -f2)
  corpus=$(grep -o 'corp: [0-9]*/[0-9]*[a-zA-Z]*' "$dir/log" | tail -1 | cut -d' ' -f2)
  if [ $status -eq 0 ]; then
    printf '%-16s ok  %11s execs %7s exec/s %6s edges  corpus %-12s rss %s / %s / %s MB\n' \
      "$t" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${corpus:-?}" "${start:-?}" "${half:-?}" "${peak:-?}"
  else
    printf '%-16s FAILED  (exit %s): see %s\n' "$t" "$status" "$dir/log"
    grep -m1 -E 'ERROR: |runtime error|SUMMARY' "$dir/log" || true
  fi
  return $status
}

jobs_max=${FUZZ_JOBS:-1}
failed=0
pids=()
for t in "${targets[@]}"; do
  run_one "$t" &
  pids+=($!)
  while [ "$(jobs -rp | wc -l)" -ge "$jobs_max" ]; do sleep 1; done
done
for p in "${pids[@]}"; do wait "$p" || failed=1; done
exit $failed
