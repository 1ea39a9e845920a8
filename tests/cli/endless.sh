#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# vantle-sim given endless input that is no script (a device's zeros or
# random bytes, as a file or on standard input) stops at once with exit
# code 2 and a line that says why, before it has used any memory to speak of.
# Usage: endless.sh VANTLE_SIM
sim=$1
fail() { echo "FAIL: $*"; exit 1; }
for how in file-zero file-random stdin-zero; do
  case $how in
    file-zero) timeout 10 "$sim" /dev/zero 2>err >/dev/null ;;
    file-random) timeout 10 "$sim" /dev/urandom 2>err >/dev/null ;;
    stdin-zero) timeout 10 "$sim" </dev/zero 2>err >/dev/null ;;
  esac
  code=$?
  [ "$code" -ne 124 ] || fail "$how: still reading after 10 s"
  [ "$code" -eq 2 ] || fail "$how: exit code $code, expected 2"
  grep -q '^vantle-sim: line 1: ' err || fail "$how: no line says why: $(head -c 200 err)"
done
rm -f err
echo "ok: endless input refused at once"
