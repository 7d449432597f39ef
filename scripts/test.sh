#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite twice: once in a
# plain build (gcc) and once with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang). After the plain tests it checks the Debian packages made from the
# plain build (scripts/check-package.sh). Then every fuzz target runs a few
# seconds, so a target that breaks shows. Ends with each stage's wall time.
set -euo pipefail
cd "$(dirname "$0")/.."

stages=()
stage() {  # stage <name> <command...>: runs it and records its wall time
  local name=$1 start=$SECONDS
  shift
  "$@"
  stages+=("$(printf '%-18s %3d:%02d' "$name" $(((SECONDS - start) / 60)) $(((SECONDS - start) % 60)))")
}
report() {
  echo "Stage              time"
  printf '%s\n' "${stages[@]}"
  printf '%-18s %3d:%02d\n' "total" $((SECONDS / 60)) $((SECONDS % 60))
}
trap report EXIT

# Line tables are enough for the sanitizers' and the tests' reports; full
# debug information would double the link and much of the compile. build/
# also serves the benchmarks, so it keeps -O2; the sanitizer build compiles
# at -O1, as the sanitizers advise (the device core keeps its own -O2).
#
# The sanitizer build is the fuzz build: clang, with libFuzzer's coverage
# counters in every library, so the suites and the fuzz targets come out of
# one instrumented tree instead of two. clang also compiles it in half the
# time gcc takes, and the two compilers' warnings both get seen.
checks=build-checks

stage packages scripts/install-deps.sh
stage "layer check" scripts/check-layers.sh
stage "plain build" env BUILD_DIR=build scripts/build.sh -DSDKDEMO_SANITIZE=OFF -DSDKDEMO_BUILD_TESTS=ON -DSDKDEMO_BUILD_BENCH=OFF \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
stage "plain tests" bash -c 'cd build && ctest --output-on-failure -j2'
stage "package" scripts/check-package.sh

stage "sanitizer build" env CC=clang CXX=clang++ BUILD_DIR=$checks scripts/build.sh -DSDKDEMO_FUZZ=ON \
  -DSDKDEMO_BUILD_BENCH=OFF "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
stage "sanitizer tests" bash -c "cd $checks && ctest --output-on-failure -j2 -LE network"

# Each target runs on one core, so two at a time.
stage "fuzz runs" env FUZZ_BUILD_DIR=$checks FUZZ_JOBS=2 scripts/fuzz.sh 5
