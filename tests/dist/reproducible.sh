#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Two builds of one commit, in different folders and at different times,
# give the same Debian package byte for byte; so do two source releases.
# One tree is a clone (its times come from git), the other the release
# tarball unpacked (no git: its files carry the commit's time).
# Exits 77 (skipped) outside a git clone.
# Usage: reproducible.sh SOURCE_DIR [CMAKE_ARGS...]
set -eu
src=${1:?usage: $0 SOURCE_DIR [CMAKE_ARGS...]}
shift
if ! git -C "$src" rev-parse --verify -q HEAD >/dev/null 2>&1; then
  echo "SKIP: $src is not a git clone"
  exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/vantle-same.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The source release, twice, a second apart.
mkdir "$work/dist1" "$work/dist2"
tar1=$("$src/tools/make-dist" "$work/dist1" 2>/dev/null)
sleep 1
tar2=$("$src/tools/make-dist" "$work/dist2" 2>/dev/null)
if ! cmp "$tar1" "$tar2"; then
  echo "FAIL: two source releases of one commit differ" >&2
  exit 1
fi
echo "ok: the source release is the same twice ($(wc -c <"$tar1") bytes)"

# The package, built in two trees at different paths.
one="$work/one/vantle"
two="$work/another/much/longer/path/vantle-tree"
git clone -q --no-hardlinks "$src" "$one"
mkdir -p "$two"
tar -xzf "$tar1" -C "$two" --strip-components=1

build() {
  tree=$1
  shift
  cmake -S "$tree" -B "$tree/out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTLE_TESTS=OFF \
    -DVANTLE_WEB_TESTS=OFF "$@" >"$tree/configure.log" 2>&1 ||
    { cat "$tree/configure.log" >&2; echo "FAIL: configure in $tree" >&2; exit 1; }
  cmake --build "$tree/out" >"$tree/build.log" 2>&1 ||
    { tail -n 40 "$tree/build.log" >&2; echo "FAIL: build in $tree" >&2; exit 1; }
  (cd "$tree/out" && umask 022 && env -u SOURCE_DATE_EPOCH cpack) >"$tree/cpack.log" 2>&1 ||
    { cat "$tree/cpack.log" >&2; echo "FAIL: cpack in $tree" >&2; exit 1; }
  ls "$tree"/out/vantle_*.deb
}

deb1=$(build "$one" "$@")
sleep 1
deb2=$(build "$two" "$@")
if cmp "$deb1" "$deb2"; then
  echo "ok: the package is the same from both trees ($(basename "$deb1"), $(wc -c <"$deb1") bytes)"
  exit 0
fi

# Say where they differ: the ar members, then the files inside.
echo "FAIL: two packages of one commit differ" >&2
for n in 1 2; do
  eval deb=\$deb$n
  mkdir "$work/x$n"
  (cd "$work/x$n" && ar x "$deb" && ar tv "$deb" >ar.txt &&
    for t in control data; do
      mkdir "$t" && tar -xf "$t".tar.* -C "$t" && tar -tvf "$t".tar.* >"$t.txt"
    done)
done
diff -r "$work/x1" "$work/x2" >&2 || true
for f in ar.txt control.txt data.txt; do diff "$work/x1/$f" "$work/x2/$f" >&2 || true; done
exit 1
