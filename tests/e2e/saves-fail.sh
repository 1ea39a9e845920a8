#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Saves that fail say so: with no room for the player's files (a file size
# limit of one byte, and where it can be had a full disk of 8 KiB), a game
# ended by SIGTERM says in one line for each file that it could not be
# saved, and why, and exits with 1, as nothing could be kept; the game plays
# meanwhile, and its checkpoints that fail are said once, not at every pair.
set -eu
. "$(dirname "$0")/lib.sh"

GAMEFILE() { echo "$XDG_DATA_HOME/vantle/vantle.sav"; }

# $1: how the game is started (a wrapper command), $2: the reason expected.
run() {
  start_x 640 480
  mkdir -p "$XDG_DATA_HOME/vantle"
  [ -z "${MOUNTED:-}" ] || mount -t tmpfs -o size=8k tmpfs "$XDG_DATA_HOME/vantle"
  [ -z "${MOUNTED:-}" ] || dd if=/dev/zero of="$XDG_DATA_HOME/vantle/filler" bs=1k count=64 2>/dev/null || true
  # Its output through a pipe: a size limit would cut a file short too.
  $1 "$GAME" > >(cat >"$WORK/game.log") 2>&1 &
  GAME_PID=$!
  poll 10 window_found || fail "$2: no window appeared"
  poll 5 title_showing 96 104 96 180 || fail "$2: no title screen"
  press Return
  sleep 0.3
  press space # checkpoints that fail
  sleep 0.2
  press space
  sleep 0.2
  press space
  kill -TERM "$GAME_PID"
  local code=0
  for _ in $(seq 50); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  [ "$code" -eq 1 ] || fail "$2: exit code $code, not 1, when nothing could be kept"
  sleep 0.2 # the last lines through the pipe
  grep -qF "vantle: cannot save $(SETTINGS): $2" "$WORK/game.log" ||
    fail "the failed settings save is not said: $(cat "$WORK/game.log")"
  grep -qF "vantle: cannot save $(GAMEFILE): $2" "$WORK/game.log" ||
    fail "the failed save of the game is not said: $(cat "$WORK/game.log")"
  [ "$(grep -c "$(GAMEFILE)" "$WORK/game.log")" -eq 1 ] || fail "$2: the failing game's saves are said more than once"
  [ -z "${MOUNTED:-}" ] || umount "$XDG_DATA_HOME/vantle"
}

run "prlimit --fsize=1" "File too large"
if [ "$(id -u)" -eq 0 ] && mkdir -p "$WORK/probe" && mount -t tmpfs -o size=8k tmpfs "$WORK/probe" 2>/dev/null; then
  umount "$WORK/probe"
  MOUNTED=1 run "" "No space left on device"
else
  echo "(no tmpfs can be mounted here: the full disk is stood in for by the size limit alone)"
fi
echo "ok: the saves that failed were said, and the exit code says nothing was kept"
