#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite twice: once in a
# plain build and once with AddressSanitizer and UndefinedBehaviorSanitizer.
# Then every fuzz target runs a few seconds, so a target that breaks shows.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/check-layers.sh
BUILD_DIR=build scripts/build.sh -DSDKDEMO_SANITIZE=OFF -DSDKDEMO_BUILD_BENCH=OFF
(cd build && ctest --output-on-failure -j2)

BUILD_DIR=build-asan scripts/build.sh -DSDKDEMO_SANITIZE=ON -DSDKDEMO_BUILD_BENCH=OFF
(cd build-asan && ctest --output-on-failure -j2)

scripts/fuzz.sh 5
