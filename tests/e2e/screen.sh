#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# An X server of two screens: the window opens on the screen DISPLAY names,
# over the whole of it, with the title screen on it; on screen 0 when
# DISPLAY names that one. It used to open on screen 0 every time.
set -eu
. "$(dirname "$0")/lib.sh"

# Xvfb picks the display number itself and writes it once it is ready.
Xvfb -displayfd 3 -screen 0 640x480x24 -screen 1 800x600x24 -noreset -nolisten tcp \
  3>"$WORK/display" 2>"$WORK/xvfb.log" &
XVFB_PID=$!
poll 10 test -s "$WORK/display" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
server=":$(head -n 1 "$WORK/display")"
export HOME="$WORK/home"
export XDG_DATA_HOME="$WORK/home/data"
mkdir -p "$HOME"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

title_shown() { shot && [ "$(red_count 0 0 "$1" "$2")" -ge 1000 ]; }

# on_screen SCREEN WIDTH HEIGHT: the game started with DISPLAY naming
# SCREEN, whose size is WIDTH x HEIGHT.
on_screen() {
  export DISPLAY="$server.$1"
  start_game
  local other=$((1 - $1)) geometry
  ! xdotool search --screen "$other" --name '^vantle$' >/dev/null 2>&1 ||
    fail "DISPLAY=$DISPLAY: the window is on screen $other"
  geometry=$(xdotool search --screen "$1" --name '^vantle$' getwindowgeometry) ||
    fail "DISPLAY=$DISPLAY: no window on screen $1"
  echo "$geometry" | grep -q "Position: 0,0 " || fail "window not at the corner: $geometry"
  echo "$geometry" | grep -q "Geometry: ${2}x${3}\$" || fail "window not ${2}x${3}: $geometry"
  poll 5 title_shown "$2" "$3" || fail "DISPLAY=$DISPLAY: no title screen"
  kill -TERM "$GAME_PID"
  expect_exit_0
}

on_screen 1 800 600
on_screen 0 640 480
echo "ok"
