#!/usr/bin/env bash
# Installs every Debian package that building, running and testing need.
# Idempotent: when everything is present it prints nothing and changes nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build lld pkg-config git
  qtbase5-dev qtbase5-dev-tools libqt5svg5-dev libqt5charts5-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg
  # the device service's RTSP: the server library, appsrc and videoconvert, RTP payloading, x264enc
  libgstrtspserver-1.0-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
  libturbojpeg0-dev
  libpng-dev
  libssl-dev nlohmann-json3-dev  # the device protocol's login; the service's fleet file
  libbenchmark-dev
  clang libclang-rt-14-dev  # the fuzz targets: libFuzzer and its sanitizers
  xvfb xauth imagemagick x11-utils
  libfreetype-dev fonts-dejavu-core
  fonts-wqy-microhei  # the forms carry a few CJK labels
  dpkg-dev file lintian desktop-file-utils appstream  # the Debian packages and their check
  libxcb1-dev libxcb-shm0-dev  # the live picture straight into its window; the package check's window closer
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
