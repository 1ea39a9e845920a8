#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one validator over the files of the unpacked package (deb.sh puts it
# in ROOT): the desktop entry, the AppStream metainfo (with the entry and
# icons it refers to), or the manual pages. Exits 77 (skipped) when the
# validator is not installed.
# Usage: validate.sh ROOT desktop-entry|metainfo|man-pages
set -eu
root=${1:?usage: $0 ROOT desktop-entry|metainfo|man-pages}
what=${2:?usage: $0 ROOT desktop-entry|metainfo|man-pages}

need() {
  if ! command -v "$1" >/dev/null 2>&1; then
    echo "SKIP: $1 is not installed (tools/setup-deps test installs it)"
    exit 77
  fi
}

case "$what" in
  desktop-entry)
    need desktop-file-validate
    entry="$root/usr/share/applications/vantle.desktop"
    [ -f "$entry" ] || { echo "FAIL: no $entry" >&2; exit 1; }
    # It prints nothing for a good file; hints count as faults too.
    report=$(desktop-file-validate "$entry" 2>&1) || { echo "$report" >&2; exit 1; }
    if [ -n "$report" ]; then
      echo "$report" >&2
      exit 1
    fi
    echo "desktop-file-validate: no remarks"
    ;;
  metainfo)
    need appstreamcli
    [ -d "$root/usr/share/metainfo" ] || { echo "FAIL: no usr/share/metainfo" >&2; exit 1; }
    # The tree: the metainfo, and the desktop entry it launches.
    appstreamcli validate-tree --no-net --explain "$root"
    ;;
  man-pages)
    need groff
    failed=0
    for page in vantle.6 vantle-sim.6; do
      gz="$root/usr/share/man/man6/$page.gz"
      [ -f "$gz" ] || { echo "FAIL: no $gz" >&2; failed=1; continue; }
      # Every warning on, output thrown away: anything said is a fault.
      report=$(gzip -dc "$gz" | groff -man -ww -z -Tutf8 2>&1) || failed=1
      if [ -n "$report" ]; then
        echo "$page:" >&2
        echo "$report" >&2
        failed=1
      fi
    done
    [ "$failed" -eq 0 ] || exit 1
    echo "groff -man -ww: no warnings"
    ;;
  *)
    echo "usage: $0 ROOT desktop-entry|metainfo|man-pages" >&2
    exit 2
    ;;
esac
