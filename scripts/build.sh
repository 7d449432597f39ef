#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR). Extra arguments go to CMake.
# New build folders use Ninja; one made earlier keeps its generator.
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/scripts/install-deps.sh"
BUILD_DIR=${BUILD_DIR:-build}
generator=()
[ -f "$BUILD_DIR/CMakeCache.txt" ] || generator=(-G Ninja)
cmake -S . -B "$BUILD_DIR" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
