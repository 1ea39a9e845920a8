#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A cross build's Debian package: cpack makes it from the build folder, it is
# for the build's architecture, it holds the two programs built for it, and
# lintian finds nothing in it (lintian.sh).
# Usage: cross-package.sh BUILD_DIR ARCH
set -eu
build=${1:?usage: $0 BUILD_DIR ARCH}
arch=${2:?usage: $0 BUILD_DIR ARCH}
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d "${TMPDIR:-/tmp}/vantle-cross-deb.XXXXXX")
trap 'rm -rf "$out"' EXIT

if ! (umask 077 && cpack --config "$build/CPackConfig.cmake" -B "$out") >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  echo "FAIL: cpack could not build the package" >&2
  exit 1
fi
deb=$(ls "$out"/vantle_*_"$arch".deb 2>/dev/null || true)
[ -n "$deb" ] || { ls "$out" >&2; echo "FAIL: no vantle_*_$arch.deb" >&2; exit 1; }
echo "package: $(basename "$deb"), $(wc -c <"$deb") bytes"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] ||
  { echo "FAIL: the package says Architecture: $(dpkg-deb -f "$deb" Architecture)" >&2; exit 1; }
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
mkdir "$out/root"
dpkg-deb -x "$deb" "$out/root"
case "$arch" in
  arm64) machine="ARM aarch64" ;;
  armhf) machine="ARM, EABI5" ;;
  *) machine="" ;;
esac
for program in vantle vantle-sim; do
  file "$out/root/usr/games/$program" | grep -q "$machine" ||
    { file "$out/root/usr/games/$program" >&2; echo "FAIL: $program is not built for $arch" >&2; exit 1; }
done
cp "$deb" "$out/vantle.deb"
sh "$here/lintian.sh" "$out"
