#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A long script costs vantle-sim about its own size in memory, not many times
# that: 30 MB of commands (5 million lines) run in at most twice the script's
# size and 64 MiB more, measured as the peak resident memory.
# Usage: long-script.sh VANTLE_SIM
set -eu
sim=$1
if [ ! -x /usr/bin/time ]; then
  echo "SKIP: /usr/bin/time is not installed (tools/setup-deps test installs it)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

size=30000000
yes penup | head -c "$size" >"$work/long.sim"
/usr/bin/time -f %M -o "$work/peak" "$sim" --settings "$work/vantle.dat" "$work/long.sim"
peak=$(tail -n 1 "$work/peak")
limit=$((2 * size / 1024 + 65536))
if [ "$peak" -gt "$limit" ]; then
  echo "FAIL: peak resident memory $peak KiB for a $((size / 1000000)) MB script, limit $limit KiB"
  exit 1
fi
echo "ok: peak resident memory $peak KiB for a $((size / 1000000)) MB script"
