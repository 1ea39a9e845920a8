#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a build folder (cpack), unpacks it into ROOT
# and checks it as a desktop would find it: the game and vantle-sim in
# usr/games, the desktop entry, the icons at their sizes, the metainfo, the
# manual pages, the copyright file and the package's changelog, and nothing
# else; the package depends on SDL2's runtime package and the C and C++
# runtimes alone, and the installed vantle-sim plays. With KEEP, the package
# is also copied there as vantle.deb (for lintian).
# Usage: deb.sh BUILD_DIR ROOT [KEEP]
set -eu
build=${1:?usage: $0 BUILD_DIR ROOT [KEEP]}
root=${2:?usage: $0 BUILD_DIR ROOT [KEEP]}
keep=${3:-}

failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

out=$(mktemp -d "${TMPDIR:-/tmp}/vantle-deb.XXXXXX")
trap 'rm -rf "$out"' EXIT
# Made under the strictest umask: what the package holds must not depend on
# the builder's.
if ! (umask 077 && cpack --config "$build/CPackConfig.cmake" -B "$out") >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  echo "FAIL: cpack could not build the package" >&2
  exit 1
fi
set -- "$out"/vantle_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || { echo "FAIL: no single vantle_*.deb in $out" >&2; exit 1; }
deb=$1
echo "package: $(basename "$deb")"
if [ -n "$keep" ]; then
  mkdir -p "$keep"
  cp "$deb" "$keep/vantle.deb"
fi

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
echo "Depends: $depends"
# Each dependency is one package with at most a lowest version, and they
# are SDL2's runtime, Xlib's (which draws on 8-bit X screens, and which SDL2
# depends on anyway) and the C and C++ runtimes, nothing more.
echo "$depends" | grep -Eq '(^|, )libsdl2-2\.0-0( |,|$)' || fail "it does not depend on libsdl2-2.0-0: $depends"
for dep in $(echo "$depends" | sed 's/, /\n/g' | sed 's/ /_/g'); do
  echo "$dep" | grep -Eq '^(libsdl2-2\.0-0|libx11-6|libc6|libgcc-s1|libstdc\+\+6)(_\(>=_[0-9][0-9.~+-]*\))?$' ||
    fail "an unexpected dependency: $(echo "$dep" | tr _ ' ')"
done
[ "$(field Section)" = games ] || fail "section $(field Section), not games"
[ "$(field Package)" = vantle ] || fail "package name $(field Package)"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
version=$(field Version)
# This release, then the Debian revision.
echo "$version" | grep -Eq '^[0-9]+\.[0-9]+\.[0-9]+-[0-9]+$' || fail "version $version is not RELEASE-REVISION"
release=${version%-*}

rm -rf "$root"
mkdir -p "$root"
dpkg -x "$deb" "$root"

# Every file, and nothing more.
expected="usr/games/vantle
usr/games/vantle-sim
usr/share/applications/vantle.desktop
usr/share/doc/vantle/changelog.Debian.gz
usr/share/doc/vantle/copyright
usr/share/icons/hicolor/128x128/apps/vantle.png
usr/share/icons/hicolor/16x16/apps/vantle.png
usr/share/icons/hicolor/32x32/apps/vantle.png
usr/share/icons/hicolor/48x48/apps/vantle.png
usr/share/icons/hicolor/64x64/apps/vantle.png
usr/share/lintian/overrides/vantle
usr/share/man/man6/vantle-sim.6.gz
usr/share/man/man6/vantle.6.gz
usr/share/metainfo/invalid.vantle.vantle.metainfo.xml"
echo "$expected" | LC_ALL=C sort >"$out/expected"
(cd "$root" && find . -type f -o -type l) | sed 's|^\./||' | LC_ALL=C sort >"$out/actual"
if ! cmp -s "$out/expected" "$out/actual"; then
  fail "the package holds other files than these (- missing, + not expected):"
  diff "$out/expected" "$out/actual" | sed -n 's/^</-/p; s/^>/+/p' >&2 || true
fi

# Folders rwxr-xr-x, files rw-r--r--, the programs rwxr-xr-x, all root's.
dpkg-deb -c "$deb" | awk '
  $1 ~ /^d/ && $1 != "drwxr-xr-x" { print "folder " $6 " is " $1 }
  $1 ~ /^-/ && $6 ~ /^\.\/usr\/games\// && $1 != "-rwxr-xr-x" { print "program " $6 " is " $1 }
  $1 ~ /^-/ && $6 !~ /^\.\/usr\/games\// && $1 != "-rw-r--r--" { print "file " $6 " is " $1 }
  $2 != "root/root" { print $6 " belongs to " $2 }' >"$out/modes"
if [ -s "$out/modes" ]; then
  fail "the package's permissions:"
  cat "$out/modes" >&2
fi

for program in vantle vantle-sim; do
  [ -x "$root/usr/games/$program" ] || fail "usr/games/$program is not executable"
done

# PNG width and height, from the header.
png_size() {
  od -An -tu1 -j16 -N8 "$1" |
    awk '{ printf "%dx%d", (($1*256+$2)*256+$3)*256+$4, (($5*256+$6)*256+$7)*256+$8 }'
}
for size in 16 32 48 64 128; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/vantle.png"
  [ -f "$icon" ] || continue
  got=$(png_size "$icon")
  [ "$got" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $got"
done

# The desktop entry starts what is installed and shows the installed icon.
entry="$root/usr/share/applications/vantle.desktop"
if [ -f "$entry" ]; then
  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  case "$exec_line" in
    vantle | /usr/games/vantle) ;;
    *) fail "the desktop entry starts '$exec_line'" ;;
  esac
  grep -qx 'Icon=vantle' "$entry" || fail "the desktop entry's icon is not vantle"
  grep -qx 'Categories=Game;BlocksGame;' "$entry" || fail "the desktop entry's categories"
fi

# The metainfo names this release.
metainfo="$root/usr/share/metainfo/invalid.vantle.vantle.metainfo.xml"
if [ -f "$metainfo" ]; then
  grep -q "<release version=\"$release\"" "$metainfo" ||
    fail "the metainfo has no release $release (the package's version is $version)"
  grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" ||
    fail "the metainfo does not name the licence"
fi

# The copyright file is machine-readable and gives the GPL, version 3 or later;
# the changelog's newest entry is this package's version.
copyright="$root/usr/share/doc/vantle/copyright"
if [ -f "$copyright" ]; then
  head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable format"
  grep -qx 'License: GPL-3+' "$copyright" || fail "the copyright file does not give the GPL-3+"
fi
changelog="$root/usr/share/doc/vantle/changelog.Debian.gz"
if [ -f "$changelog" ]; then
  top=$(gzip -dc "$changelog" | head -n 1)
  echo "$top" | grep -q "^vantle ($version) " || fail "the changelog's newest entry is not $version: $top"
fi

# The manual pages are gzip files of the pages.
for page in vantle.6 vantle-sim.6; do
  gz="$root/usr/share/man/man6/$page.gz"
  [ -f "$gz" ] || continue
  gzip -dc "$gz" | head -n 1 | grep -q '^\.TH ' || fail "$page.gz is not a manual page"
done

# The installed (stripped) vantle-sim plays: the title, then Enter starts a game.
if [ -x "$root/usr/games/vantle-sim" ]; then
  state=$(printf 'tick 2\ndown 13\ntick\nstate\n' |
    "$root/usr/games/vantle-sim" --settings "$out/vantle.dat") || fail "vantle-sim failed"
  echo "$state" | grep -q '"mode":1' || fail "vantle-sim did not start a game: $state"
fi

[ "$failed" -eq 0 ] || exit 1
echo "the package holds the game where a desktop looks for it"
