#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A Wayland session without X. A compositor that offers no seat (no
# keyboard or pointer), as a headless weston, crashed the game inside SDL's
# start; now the game says why in one line and exits with 1. On one with a
# seat (weston in a window of the private X server) it plays: Enter starts
# a game, Escape ends it with 0, and nothing is said on standard error.
set -eu
. "$(dirname "$0")/lib.sh"

if ! command -v weston >/dev/null 2>&1; then
  echo "SKIP: weston is not installed (apt-get install weston)"
  exit 77
fi
# With a graphics card the game could show itself without the compositor.
if ls /dev/dri/card* >/dev/null 2>&1; then
  echo "SKIP: this machine has a graphics card the game may use without a display"
  exit 77
fi

export XDG_RUNTIME_DIR="$WORK/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
WESTONS=""
trap 'for pid in $WESTONS; do end_process "$pid"; done; cleanup' EXIT

# start_weston SOCKET OPTIONS...: a compositor listening on SOCKET.
start_weston() {
  weston --no-config --idle-time=0 --socket="$1" "${@:2}" >"$WORK/weston-$1.log" 2>&1 &
  WESTONS="$WESTONS $!"
  poll 10 test -S "$XDG_RUNTIME_DIR/$1" || fail "weston did not start: $(tail -n 5 "$WORK/weston-$1.log")"
}

# Without a seat.
start_weston seatless --backend=headless-backend.so
mkdir -p "$WORK/home"
code=0
env -u DISPLAY -u SDL_VIDEODRIVER WAYLAND_DISPLAY=seatless HOME="$WORK/home" \
  XDG_DATA_HOME="$WORK/home/data" timeout 10 "$GAME" >"$WORK/out.log" 2>"$WORK/game.log" || code=$?
[ "$code" -eq 1 ] || fail "exit code $code on a compositor without a seat, expected 1"
[ ! -s "$WORK/out.log" ] || fail "the game wrote to standard output"
[ "$(wc -l <"$WORK/game.log")" -eq 1 ] || fail "expected one line on standard error"
grep -q "seatless: .*no seat" "$WORK/game.log" || fail "the line does not say the compositor has no seat"
[ ! -e "$WORK/home/data/vantle/vantle.dat" ] || fail "a settings file was written"

# With one: weston's window covers the X server's screen, under the pointer,
# so the keys xdotool gives the X server go to weston and on to the game.
start_x 640 480
start_weston seated --backend=x11-backend.so --use-pixman --width=640 --height=480
# Below weston's panel, whose clock changes.
picture() { region 0 40 640 440; }
changed_from() { [ "$(picture)" != "$1" ]; }
title_shown() { shot && [ "$(red_count 0 40 640 440)" -ge 1000 ]; }
# Under AddressSanitizer, leaks are not looked for here: the Wayland
# libraries SDL loads (the cursor theme's names among them) keep memory that
# SDL then unloads with them, so it is no library's by name to pass over.
env -u DISPLAY -u SDL_VIDEODRIVER WAYLAND_DISPLAY=seated ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" \
  "$GAME" >"$WORK/game.log" 2>&1 &
GAME_PID=$!
poll 10 title_shown || fail "no title screen on the compositor with a seat"
title=$(picture)
press Return
poll 3 changed_from "$title" || fail "Enter did not start a game"
press Escape
expect_exit_0
[ ! -s "$WORK/game.log" ] || fail "the game said something on standard error"
[ -s "$(SETTINGS)" ] || fail "the settings were not saved"
echo "ok"
