#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the Debian package (deb.sh keeps a copy as DIR/vantle.deb) through
# lintian, showing the command and everything it says. Any error (E:) or
# warning (W:) fails; informational tags (I:) and the overrides the package
# carries (O:, usr/share/lintian/overrides/vantle) are shown and pass.
# Exits 77 (skipped) when lintian is not installed.
# Usage: lintian.sh DIR
set -eu
dir=${1:?usage: $0 DIR}

if ! command -v lintian >/dev/null 2>&1; then
  echo "SKIP: lintian is not installed (tools/setup-deps test installs it)"
  exit 77
fi
deb="$dir/vantle.deb"
[ -f "$deb" ] || { echo "FAIL: no $deb (the install.deb test makes it)" >&2; exit 1; }

echo "\$ lintian --info --display-info --show-overrides $deb"
# The tags decide: an E: or W: line fails. lintian itself exits 2 when it
# finds an error (and, with --show-overrides, counts overridden tags too, so
# its --fail-on cannot judge warnings here), 1 when it could not do its work.
status=0
report=$(lintian --info --display-info --show-overrides "$deb" 2>&1) || status=$?
echo "$report"
echo "(lintian exit status $status)"
if echo "$report" | grep -Eq '^[EW]: '; then
  echo "FAIL: lintian reports errors or warnings" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "FAIL: lintian did not run (exit status $status)" >&2
  exit 1
fi
echo "lintian: no errors, no warnings"
