#!/usr/bin/env bash
# Takes docs/screenshot.png: the main window under Xvfb, logged in to the PTZ
# camera with its live thermal picture. Usage: scripts/screenshot.sh [live|rules|alarms|playback|downloads|ptz|swivel|config|peripheral|intelligent|trend|idle] [out.png]
# (rules: the temperature page with a rule over the hottest spot and one over
# the sky, read from the device)
set -euo pipefail
cd "$(dirname "$0")/.."
state=${1:-live}
out=${2:-docs/screenshot.png}
BUILD_DIR=build scripts/build.sh >/dev/null
mkdir -p "$(dirname "$out")"

xvfb-run -a -s "-screen 0 1400x920x24" bash -c '
  driver=$1; state=$2; out=$3
  "$driver" "$state" 20000 > /tmp/sdkdemo-shot.$$ &
  pid=$!
  for _ in $(seq 300); do grep -q READY /tmp/sdkdemo-shot.$$ 2>/dev/null && break; sleep 0.1; done
  import -window root -crop 1366x886+0+0 "$out"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -f /tmp/sdkdemo-shot.$$
' _ build/tools/sdkdemo_screenshot "$state" "$out"
echo "wrote $out"
