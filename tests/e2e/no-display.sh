#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# With no display to show the window on (none named, or one that is not
# there), the game says so in one line and exits with a non-zero code.
set -eu
. "$(dirname "$0")/lib.sh"

# A machine with a graphics card to draw on directly could show the game
# without any display server.
if ls /dev/dri/card* >/dev/null 2>&1; then
  echo "SKIP: this machine has a graphics card the game may use without a display"
  exit 77
fi

# run_without VARIABLE=value...: runs the game with that environment and no
# other display, for at most 10 seconds.
run_without() {
  local code=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER HOME="$WORK/home" \
    XDG_DATA_HOME="$WORK/home/data" "$@" timeout 10 "$GAME" >"$WORK/out.log" 2>"$WORK/game.log" ||
    code=$?
  [ "$code" -ne 124 ] || fail "the game did not end ($*)"
  [ "$code" -ne 0 ] || fail "exit code 0 without a display ($*)"
  [ ! -s "$WORK/out.log" ] || fail "the game wrote to standard output"
  [ "$(wc -l <"$WORK/game.log")" -eq 1 ] || fail "expected one line on standard error ($*)"
  grep -q "display" "$WORK/game.log" || fail "the line does not speak of the display"
  [ ! -e "$WORK/home/data/vantle/vantle.dat" ] || fail "a settings file was written"
}

mkdir -p "$WORK/home"
run_without
grep -q "DISPLAY" "$WORK/game.log" || fail "the line does not name DISPLAY"
# A display number no server answers on.
run_without DISPLAY=:4093
grep -q ":4093" "$WORK/game.log" || fail "the line does not name the display"
echo "ok"
