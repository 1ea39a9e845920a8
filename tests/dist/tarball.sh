#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The source release builds and passes its tests on its own: tools/make-dist
# writes the tarball, which must hold exactly the committed files; it is
# unpacked into an empty folder with no repository around it, built with the
# headless preset and its tests run there. The check of the licence lines is
# left to the repository's own run (the tarball holds the same files).
# Exits 77 (skipped) outside a git clone: a release has no history to
# archive.
# Given a PASSED_DIR, a tarball that passed leaves its SHA-256 there, and a
# tarball byte for byte the same as one that passed is not built again (the
# release is reproducible, so one commit gives one tarball): CI's first stage
# runs this before SDL2 is installed, and make test's run then has nothing
# new to build.
# Usage: tarball.sh SOURCE_DIR [PASSED_DIR]
set -eu
src=${1:?usage: $0 SOURCE_DIR [PASSED_DIR]}
passed=${2:-}
case "$passed" in
  "" | /*) ;;
  *) passed="$(pwd)/$passed" ;;
esac

if ! git -C "$src" rev-parse --verify -q HEAD >/dev/null 2>&1; then
  echo "SKIP: $src is not a git clone"
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vantle-dist.XXXXXX")
trap 'rm -rf "$work"' EXIT
tarball=$("$src/tools/make-dist" "$work")
name=$(basename "$tarball" .tar.gz)
echo "tarball: $(basename "$tarball"), $(wc -c <"$tarball") bytes"
case "$name" in
  vantle-[0-9]*.[0-9]*.[0-9]*) ;;
  *) echo "FAIL: the tarball is named $name.tar.gz" >&2; exit 1 ;;
esac

# Exactly the committed files, under vantle-VERSION/.
git -C "$src" ls-tree -r --name-only HEAD | sed "s|^|$name/|" | LC_ALL=C sort >"$work/committed"
tar -tzf "$tarball" | grep -v '/$' | LC_ALL=C sort >"$work/packed"
if ! cmp -s "$work/committed" "$work/packed"; then
  echo "FAIL: the tarball does not hold exactly the committed files (- missing, + extra):" >&2
  diff "$work/committed" "$work/packed" | sed -n 's/^</-/p; s/^>/+/p' >&2 || true
  exit 1
fi

sum=$(sha256sum "$tarball" | cut -d' ' -f1)
if [ -n "$passed" ] && [ -f "$passed/$sum" ]; then
  echo "ok: this very tarball (sha256 $sum) built and passed its tests here before, $(cat "$passed/$sum")"
  exit 0
fi

mkdir "$work/unpacked"
tar -xzf "$tarball" -C "$work/unpacked"
tree="$work/unpacked/$name"
if [ -e "$tree/.git" ] || git -C "$tree" rev-parse >/dev/null 2>&1; then
  echo "FAIL: the unpacked tarball is inside a git repository" >&2
  exit 1
fi

cd "$tree"
echo "\$ cmake --preset headless && cmake --build --preset headless && ctest --preset headless -LE license"
cmake --preset headless >"$work/configure.log" 2>&1 || { cat "$work/configure.log" >&2; echo "FAIL: configure" >&2; exit 1; }
cmake --build --preset headless >"$work/build.log" 2>&1 || { tail -n 60 "$work/build.log" >&2; echo "FAIL: build" >&2; exit 1; }
ctest --preset headless -LE license
echo "the tarball builds and passes its tests without the repository"
if [ -n "$passed" ]; then
  mkdir -p "$passed"
  date -u '+on %Y-%m-%d at %H:%M:%S UTC' >"$passed/$sum"
fi
