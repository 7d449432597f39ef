#!/usr/bin/env bash
# Takes docs/screenshot.png: the main window under Xvfb, logged in to the PTZ
# camera with its live thermal picture. Usage: scripts/screenshot.sh [live|rules|alarms|playback|downloads|ptz|swivel|config|peripheral|intelligent|trend|thermal-rec|thermal-replay|idle] [out.png]
# (rules: the temperature page with a rule over the hottest spot and one over
# the sky, read from the device). Views for checking a screen by eye:
# ptz-start (the PTZ page as it opens), g1 (the temperature page's "G1" tab
# chosen while scrolled down), downloads-logout (the download window after a
# logout), trend-paused (the trend paused, one line unchecked), laser-fail
# (the laser OSD "Set" while the device cannot be read).
# BUILD_DIR picks the build folder (build/ by default).
set -euo pipefail
state=${1:-live}
# A path given is the caller's, from where they stand.
out=
if [ $# -ge 2 ]; then out=$(realpath -m -- "$2"); fi
cd "$(dirname "$0")/.."
out=${out:-$PWD/docs/screenshot.png}
build_dir=${BUILD_DIR:-build}
[[ $build_dir = /* ]] || build_dir=$PWD/$build_dir
BUILD_DIR=$build_dir scripts/build.sh >/dev/null
mkdir -p "$(dirname "$out")"

# The driver runs in a scratch folder: the alarm pictures the client writes
# into its working folder go away with it.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

xvfb-run -a -s "-screen 0 1400x920x24" bash -c '
  driver=$1; state=$2; out=$3; work=$4
  cd "$work"
  "$driver" "$state" 20000 > driver.log &
  pid=$!
  for _ in $(seq 300); do grep -q READY driver.log 2>/dev/null && break; sleep 0.1; done
  import -window root -crop 1366x886+0+0 "$out"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
' _ "$build_dir/tools/sdkdemo_screenshot" "$state" "$out" "$work"
echo "wrote $out"
