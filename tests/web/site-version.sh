#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The service worker's cache is named after every file the site serves: a
# change to any one of them (an icon too) gives a new name, so that a new
# build replaces what browsers keep; the same files give the same name.
# Usage: site-version.sh SOURCE_DIR
set -eu
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/game" "$work/icons"
printf 'game' >"$work/game/vantle.js"
printf 'wasm' >"$work/game/vantle.wasm"
cp "$src"/res/icons/*.png "$work/icons/"

name() {
  cmake -DSITE="$work/site-$1" -DPAGES="$src/platform/web/site" -DICONS="$work/icons" \
    -DGAME="$work/game" -P "$src/platform/web/site.cmake" >/dev/null
  sed -n 's/^const CACHE = "\(.*\)";$/\1/p' "$work/site-$1/sw.js"
}

first=$(name a)
again=$(name b)
[ -n "$first" ] || { echo "FAIL: sw.js names no cache"; exit 1; }
[ "$first" = "$again" ] || { echo "FAIL: the same files give two names, $first and $again"; exit 1; }
grep -q '"icons/vantle-maskable-512.png"' "$work/site-a/sw.js" ||
  { echo "FAIL: sw.js does not keep the maskable icon"; exit 1; }
for f in game/vantle.js game/vantle.wasm icons/vantle-192.png icons/vantle-maskable-512.png; do
  cp "$work/$f" "$work/saved"
  printf 'x' >>"$work/$f"
  changed=$(name c)
  cp "$work/saved" "$work/$f"
  [ "$changed" != "$first" ] || { echo "FAIL: a change to $f leaves the cache name $first"; exit 1; }
done
echo "ok: $first, and a new name for a change to any file"
