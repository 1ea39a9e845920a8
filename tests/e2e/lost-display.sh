#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The X server goes away under the game (the session ends): the game keeps
# what the run changed, says why it stopped in one line, and is gone within
# a second, with exit code 1.
set -eu
. "$(dirname "$0")/lib.sh"

start_x 640 480
start_game
poll 5 title_showing 96 104 96 180 || fail "no title screen"
press s # the sound switched off: only a save keeps that
sleep 0.3
[ ! -e "$(SETTINGS)" ] || fail "a settings file before the end"

end_process "$XVFB_PID"
XVFB_PID=""
start=$(date +%s%N)
while kill -0 "$GAME_PID" 2>/dev/null; do
  [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 1000 ] ||
    fail "the game still runs a second after its display went away"
  sleep 0.05
done
code=0
wait "$GAME_PID" || code=$?
GAME_PID=""
[ "$code" -eq 1 ] || fail "exit code $code, expected 1"
[ "$(settings_words)" = "86 65 0 0 0 0 1 0 1" ] || fail "settings $(settings_words), sound not off"
[ "$(wc -l <"$WORK/game.log")" -eq 1 ] && grep -q "connection to the display was lost" "$WORK/game.log" ||
  fail "expected one line saying the display was lost"
echo "ok"
