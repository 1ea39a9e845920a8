#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window covers the whole screen, landscape and portrait, with the title
# screen on it; Escape, and a SIGTERM, end the game with exit code 0 and
# save the settings, which on a first start are the defaults.
set -eu
. "$(dirname "$0")/lib.sh"

# check_screen WIDTH HEIGHT LOGO_X LOGO_Y PROMPT_X PROMPT_Y (logical pixels)
check_screen() {
  start_x "$1" "$2"
  start_game
  local geometry
  geometry=$(xdotool search --name '^vantle$' getwindowgeometry)
  echo "$geometry" | grep -q "Position: 0,0 " || fail "window not at the corner: $geometry"
  echo "$geometry" | grep -q "Geometry: ${1}x${2}\$" || fail "window not ${1}x${2}: $geometry"
  poll 5 title_showing "$3" "$4" "$5" "$6" || fail "no title screen on ${1}x${2}"
}

FIRST_START="86 65 1 0 0 0 1 0 1"

# Landscape: scale 2, logical 320 x 240.
check_screen 640 480 96 104 96 180
[ ! -e "$(SETTINGS)" ] || fail "a settings file before the first exit"
press Escape
expect_exit_0
[ "$(stat -c %s "$(SETTINGS)")" -eq 36 ] || fail "settings file not 36 bytes"
[ "$(settings_words)" = "$FIRST_START" ] || fail "settings $(settings_words), expected $FIRST_START"

# Portrait: scale 2, logical 240 x 320. Ended by a signal this time: the
# window is asked to close, as by the window manager.
check_screen 480 640 56 144 56 240
kill -TERM "$GAME_PID"
expect_exit_0
[ "$(settings_words)" = "$FIRST_START" ] || fail "settings after SIGTERM $(settings_words)"
echo "ok"
