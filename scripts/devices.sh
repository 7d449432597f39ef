#!/usr/bin/env bash
# Builds the device service and starts it in the foreground:
#
#   scripts/devices.sh [--fleet FILE]
#
# Without a file it hosts the default fleet (devicesim/service/fleet.json:
# 127.0.0.11-13, port 80, admin / sensor852). Port 80 needs root or the
# cap_net_bind_service capability; a fleet file with ports above 1023 needs
# neither. Clients reach it with TMVNET_DEVICES=network scripts/run.sh.
#
#   scripts/devices.sh --generate N [FILE] [--port P] [--rtsp-port R]
#
# writes a fleet file of N devices (to FILE, or standard output) and exits:
# 127.0.1.1, 127.0.1.2, ... (after .254 the next /24: 127.0.2.1, ...), the
# three kinds in turn (ptz-dual, fixed-thermal, panoramic-thermal), admin /
# sensor852, each on port P (default 8000) and RTSP on R (default 8554;
# 0: none). Every device has its own address, so they share the port
# numbers, and ports above 1023 need no privileges. Each card folder is the
# default one of its address.
set -euo pipefail
cd "$(dirname "$0")/.."

generate() {
    local count=$1 file=${2:-} port=8000 rtsp=8554
    shift $(($# < 2 ? $# : 2))
    while [ $# -gt 0 ]; do
        case $1 in
        --port) port=$2; shift 2 ;;
        --rtsp-port) rtsp=$2; shift 2 ;;
        *) echo "devices.sh: unknown option $1" >&2; exit 2 ;;
        esac
    done
    if ! [[ $count =~ ^[0-9]+$ ]] || [ "$count" -lt 1 ] || [ "$count" -gt $((254 * 254)) ]; then
        echo "devices.sh: --generate wants a count of 1..64516" >&2
        exit 2
    fi
    local kinds=(ptz-dual fixed-thermal panoramic-thermal) out i
    out=$(
        printf '{\n  "searchPort": 37020,\n  "devices": [\n'
        for ((i = 0; i < count; ++i)); do
            local address="127.0.$((1 + i / 254)).$((1 + i % 254))"
            local rtspField=""
            [ "$rtsp" -gt 0 ] && rtspField=", \"rtspPort\": $rtsp"
            local comma=","
            [ $((i + 1)) -lt "$count" ] || comma=""
            printf '    {"kind": "%s", "address": "%s", "port": %d%s, "user": "admin", "password": "sensor852"}%s\n' \
                "${kinds[i % 3]}" "$address" "$port" "$rtspField" "$comma"
        done
        printf '  ]\n}\n'
    )
    if [ -n "$file" ] && [ "$file" != - ]; then
        printf '%s\n' "$out" >"$file"
    else
        printf '%s\n' "$out"
    fi
}

if [ "${1:-}" = --generate ]; then
    shift
    [ $# -ge 1 ] || { echo "usage: devices.sh --generate N [FILE] [--port P] [--rtsp-port R]" >&2; exit 2; }
    # FILE is optional: an option in its place is an option.
    if [ $# -ge 2 ] && [[ $2 == --* ]]; then
        n=$1
        shift
        generate "$n" - "$@"
    else
        generate "$@"
    fi
    exit 0
fi

BUILD_DIR=${BUILD_DIR:-build}
BUILD_DIR=$BUILD_DIR scripts/build.sh >/dev/null
exec "$BUILD_DIR/devicesim/sdkdemo-devices" "$@"
