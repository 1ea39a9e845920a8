#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A clock that goes back or leaps never spins the game nor keeps it from
# its signals: under libfaketime the clocks are set ten minutes back while
# the title waits, then five hours ahead; each time a key still starts or
# moves the game at once, the pair falls at its pace, and SIGTERM ends the
# game within a second.
set -eu
. "$(dirname "$0")/lib.sh"
faketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
[ -n "$faketime" ] || { echo "SKIP: libfaketime is not installed (tools/setup-deps test installs it)"; exit 77; }

well() { region 80 0 240 480; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }
not_title() { ! title_showing 96 104 96 180; }
falls() {
  local before
  before=$(well)
  poll 3 changed_from "$before" well || fail "$1: the pair does not fall"
}

echo "+0" >"$WORK/clock"
start_x 640 480
start_game LD_PRELOAD="$faketime" FAKETIME_TIMESTAMP_FILE="$WORK/clock" FAKETIME_NO_CACHE=1
poll 5 title_showing 96 104 96 180 || fail "no title screen"
sleep 0.5
echo "-10m" >"$WORK/clock"
sleep 0.3
press Left # any key starts a game
poll 3 not_title || fail "ten minutes back: a key does not start a game"
falls "ten minutes back"
echo "+5h" >"$WORK/clock"
sleep 0.3
press Right
falls "five hours ahead"
kill -TERM "$GAME_PID"
ends_within_a_second "SIGTERM with the clock moved"
echo "ok: the clock went back and leapt, and the game kept its pace"
