#!/usr/bin/env bash
# Checks the Debian packages without installing them. Builds them from build/
# (or $BUILD_DIR, as the test command left it) with scripts/package.sh, then:
# - each package holds exactly its files (nothing of the tests or benchmarks),
#   its version is the changelog's and the AppStream metadata's newest, and
#   dpkg-shlibdeps filled in its dependencies;
# - unpacked into a scratch folder, nothing carries a build RPATH, the client
#   finds the unpacked library, shows its window "SDKDemo" under Xvfb and
#   exits cleanly when the window is closed;
# - a C program builds against the unpacked -dev package through pkg-config
#   and runs;
# - desktop-file-validate, appstreamcli validate and lintian find no error
#   (lintian's warnings and notes are printed).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${BUILD_DIR:-build}")
fail() { echo "check-package: $*" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

mapfile -t debs < <(BUILD_DIR=$build scripts/package.sh)
[ ${#debs[@]} -eq 3 ] || fail "expected three packages, got: ${debs[*]}"
log=$(cmake --build "$build" --target sdkdemo_close_window 2>&1) || { echo "$log"; fail "cannot build the window closer"; }

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir=usr/lib/$multiarch
id=org.sdkdemo.SDKDemo
declare -A expected=(
  [sdkdemo]="
    usr/bin/sdkdemo
    usr/bin/sdkdemo-devices
    usr/share/applications/$id.desktop
    usr/share/metainfo/$id.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/$id.svg
    usr/share/icons/hicolor/48x48/apps/$id.png
    usr/share/icons/hicolor/128x128/apps/$id.png
    usr/share/man/man1/sdkdemo.1.gz
    usr/share/man/man1/sdkdemo-devices.1.gz
    usr/share/doc/sdkdemo/examples/fleet.json
    usr/share/doc/sdkdemo/copyright
    usr/share/doc/sdkdemo/changelog.gz"
  [libtmvnetsdk0]="
    $libdir/libTMVNetSDK.so.0 -> libTMVNetSDK.so.0.1
    $libdir/libTMVNetSDK.so.0.1
    usr/share/doc/libtmvnetsdk0/copyright
    usr/share/doc/libtmvnetsdk0/changelog.gz"
  [libtmvnetsdk-dev]="
    $libdir/libTMVNetSDK.so -> libTMVNetSDK.so.0
    $libdir/pkgconfig/tmvnetsdk.pc
    usr/include/TMVNetSDK.h
    usr/share/doc/libtmvnetsdk-dev/copyright
    usr/share/doc/libtmvnetsdk-dev/changelog.gz"
)

changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
metainfo_version=$(grep -m1 -o '<release version="[^"]*"' packaging/$id.metainfo.xml | cut -d'"' -f2)
declare -A seen=()
for deb in "${debs[@]}"; do
  package=$(dpkg-deb -f "$deb" Package)
  version=$(dpkg-deb -f "$deb" Version)
  [ -n "${expected[$package]+set}" ] || fail "unexpected package $package ($deb)"
  seen[$package]=1
  echo "== $package $version: $(basename "$deb")"
  [ "$version" = "$changelog_version" ] || fail "$package is $version, packaging/changelog says $changelog_version"
  [ "$version" = "$metainfo_version" ] || fail "$package is $version, the AppStream metadata's newest release is $metainfo_version"
  # Files and symlinks (with their targets), not folders.
  dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' \
    | sort > "$scratch/$package.contents"
  sed 's/^ *//; /^$/d' <<<"${expected[$package]}" | sort > "$scratch/$package.expected"
  cat "$scratch/$package.contents"
  diff -u "$scratch/$package.expected" "$scratch/$package.contents" \
    || fail "$package does not hold what it should (- missing, + extra)"
done
[ ${#seen[@]} -eq 3 ] || fail "a package is missing: ${!seen[*]}"

sdkdemo_deb=$(printf '%s\n' "${debs[@]}" | grep '/sdkdemo_')
library_deb=$(printf '%s\n' "${debs[@]}" | grep '/libtmvnetsdk0_')
depends=$(dpkg-deb -f "$sdkdemo_deb" Depends)
for needed in "libtmvnetsdk0 (= $changelog_version)" libqt5widgets5 libc6; do
  [[ $depends == *"$needed"* ]] || fail "sdkdemo does not depend on $needed: $depends"
done
[[ $(dpkg-deb -f "$library_deb" Depends) == *libc6* ]] || fail "libtmvnetsdk0 has no dependencies from dpkg-shlibdeps"

tree=$scratch/root
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$tree"; done

for elf in usr/bin/sdkdemo usr/bin/sdkdemo-devices "$libdir/libTMVNetSDK.so.0.1"; do
  if readelf -d "$tree/$elf" | grep -Eq 'R(UN)?PATH'; then
    fail "$elf carries a search path: $(readelf -d "$tree/$elf" | grep -E 'R(UN)?PATH')"
  fi
done
export LD_LIBRARY_PATH=$tree/$libdir
found=$(ldd "$tree/usr/bin/sdkdemo" | awk '$1 == "libTMVNetSDK.so.0" { print $3 }')
[ "$found" = "$tree/$libdir/libTMVNetSDK.so.0" ] || fail "the client finds libTMVNetSDK.so.0 at '$found'"

# The client in a scratch home: its simulated SD cards and alarm pictures
# stay in there.
mkdir -p "$scratch/home" "$scratch/run" "$scratch/xdg-runtime"
chmod 700 "$scratch/xdg-runtime"
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/xdg-runtime
echo "== the unpacked client under Xvfb"
status=0
( cd "$scratch/run" && xvfb-run -a -s "-screen 0 1400x920x24" bash -c '
  client=$1; close=$2
  "$client" > client.log 2>&1 &
  pid=$!
  window=
  for _ in $(seq 200); do
    info=$(xwininfo -name SDKDemo 2>/dev/null || true)
    if [[ $info == *IsViewable* ]]; then
      window=$(sed -n "s/.*Window id: \(0x[0-9a-f]*\).*/\1/p" <<<"$info")
      break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "no window SDKDemo shown"; kill "$pid" 2>/dev/null; wait "$pid"; cat client.log; exit 1
  fi
  echo "window $window \"SDKDemo\" shown; closing it"
  "$close" "$window" || { kill "$pid"; wait "$pid"; exit 1; }
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "the client still runs 10 s after its window was closed"; kill "$pid"; wait "$pid"; cat client.log; exit 1
  fi
  code=0; wait "$pid" || code=$?
  echo "the client exited with $code"
  [ -s client.log ] && { echo "it printed:"; cat client.log; }
  exit $code
' _ "$tree/usr/bin/sdkdemo" "$build/tools/sdkdemo_close_window" ) || status=$?
[ $status -eq 0 ] || fail "the unpacked client did not run and close cleanly"

echo "== a C program built against the unpacked -dev package"
cat > "$scratch/use.c" <<'C'
#include <TMVNetSDK.h>
int main(void)
{
    return TMV_NET_Init() == TMV_NET_SUCCESS && TMV_NET_Deinit() == TMV_NET_SUCCESS ? 0 : 1;
}
C
# shellcheck disable=SC2046  # pkg-config's flags are words
cc -Wall -Werror -o "$scratch/use" "$scratch/use.c" \
  $(pkg-config --define-variable=prefix="$tree/usr" --cflags --libs "$tree/$libdir/pkgconfig/tmvnetsdk.pc")
(cd "$scratch/run" && "$scratch/use") || fail "the program built against the -dev package failed"
echo "built and ran"

echo "== desktop entry and AppStream metadata"
desktop-file-validate "$tree/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$tree/usr/share/metainfo/$id.metainfo.xml"

echo "== lintian"
status=0
report=$(lintian --fail-on error "${debs[@]}" 2>&1) || status=$?
# lintian's own remark about running as root is not about the packages.
grep -v 'running with root privileges' <<<"$report" || true
[ $status -eq 0 ] || fail "lintian found errors"
echo "lintian: no error"
