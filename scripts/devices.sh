#!/usr/bin/env bash
# Builds the device service and starts it in the foreground:
#
#   scripts/devices.sh [--fleet FILE]
#
# Without a file it hosts the default fleet (devicesim/service/fleet.json:
# 127.0.0.11-13, port 80, admin / sensor852). Port 80 needs root or the
# cap_net_bind_service capability; a fleet file with ports above 1023 needs
# neither. Clients reach it with TMVNET_DEVICES=network scripts/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
BUILD_DIR=$BUILD_DIR scripts/build.sh >/dev/null
exec "$BUILD_DIR/devicesim/sdkdemo-devices" "$@"
