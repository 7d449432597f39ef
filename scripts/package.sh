#!/usr/bin/env bash
# Builds the Debian packages from build/ (or $BUILD_DIR) into
# <build>/packages/ and prints their paths: sdkdemo (the client and the
# device service), libtmvnetsdk0 (the device library) and libtmvnetsdk-dev.
# Install the program with
#   apt install ./build/packages/sdkdemo_*.deb ./build/packages/libtmvnetsdk0_*.deb
# A build folder made earlier keeps its settings (tests in it stay out of the
# packages); a new one is configured without tests and benchmarks. A
# sanitizer build is refused: its programs are not for installing.
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/scripts/install-deps.sh"
build=${BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSDKDEMO_BUILD_TESTS=OFF -DSDKDEMO_BUILD_BENCH=OFF >/dev/null
fi
if grep -Eq '^SDKDEMO_(SANITIZE|SANITIZE_THREAD|FUZZ):BOOL=ON' "$build/CMakeCache.txt"; then
  echo "package.sh: $build is a sanitizer build; package a plain one (BUILD_DIR=...)" >&2
  exit 1
fi
quiet() {  # runs a command, showing its output only if it fails
  local log
  log=$("$@" 2>&1) || { echo "$log" >&2; return 1; }
}
# Only what the packages hold; CPack itself builds nothing.
quiet cmake --build "$build" -j"$(nproc)" --target sdkdemo sdkdemo-devices TMVNetSDK sdkdemo_install_docs
rm -f "$build"/packages/*.deb
quiet cpack --config "$build/CPackConfig.cmake" -G DEB
ls "$(realpath "$build")"/packages/*.deb
