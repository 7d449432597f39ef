#!/usr/bin/env bash
# Installs what is missing, builds, and starts the client against the
# simulated fleet (127.0.0.11-13, port 80, admin / sensor852).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build scripts/build.sh -DSDKDEMO_BUILD_TESTS=OFF -DSDKDEMO_BUILD_BENCH=OFF
exec build/sdkdemo "$@"
