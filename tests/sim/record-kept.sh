#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A record is kept through a crash: a game scores 12 over a high score of 0,
# and the run stops with the window open (as a kill or a power cut stops the
# game, nothing saved at the end). The next run comes back to that game with
# the record: its panel shows the high score 12, and the settings file
# already holds it.
# Usage: record-kept.sh VANTLE_SIM
set -eu
sim=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Column 0 holds up arrows in rows 10 to 12, the bottom row right arrows in
# columns 1 to 3; a pair (right over up) moved to column 0 and dropped makes
# a chain of two passes: 4 + 8 points.
{
  printf 'tick 2\ndown 13\ntick\nup 13\ntick\n'
  printf 'cell 0 10 1\ncell 0 11 1\ncell 0 12 1\ncell 1 12 2\ncell 2 12 2\ncell 3 12 2\npair 2 1\n'
  for _ in 1 2 3; do printf 'down 37\ntick\nup 37\ntick\n'; done
  printf 'down 40\ntick 40\nup 40\ntick 30\nstate\n'
} >"$work/first.sim"
timeout 60 "$sim" --settings "$work/vantle.dat" "$work/first.sim" >"$work/first.out" ||
  fail "the first run failed"
grep -q '"score":12,"high":12' "$work/first.out" || fail "the chain did not pay 12: $(cat "$work/first.out")"
[ -f "$work/vantle.sav" ] || fail "no game kept at the new pair"

echo state | timeout 60 "$sim" --settings "$work/vantle.dat" >"$work/second.out" ||
  fail "the second run failed"
grep -q '"score":12,"high":12' "$work/second.out" ||
  fail "the kept game came back without its record: $(cat "$work/second.out")"
high=$(od -An -t d4 -j 12 -N 4 "$work/vantle.dat" | tr -d ' ')
[ "$high" = 12 ] || fail "the settings file holds the high score $high, not 12"
echo "ok: the record of 12 was on the disk before the run stopped, and came back with the game"
