#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A change of the window's size keeps the picture's shape: made 320 x 480,
# the 640 x 480 window shows its picture at 320 x 240, centred, black above
# and below, and a click lands on the button the picture shows under it.
set -eu
. "$(dirname "$0")/lib.sh"

# Only black in a rectangle of the last screenshot.
all_black() { [ -z "$(pixels "$@" | grep -v '^#000000$')" ]; }

# At 320 x 480 the logical 320 x 240 picture is shown at scale 1 from window
# row 120: logical pixel (x, y) is window pixel (x, 120 + y).
fitted_title() {
  shot
  all_black 0 0 320 120 && all_black 0 360 320 120 || return 1
  # The logo is red; the prompt's strip is white above its letters.
  [ "$(red_count 96 $((120 + 104)) 128 32)" -ge 250 ] || return 1
  all_white $((96 + 19)) $((120 + 180)) 90 1
}

start_x 640 480
start_game
poll 5 title_showing 96 104 96 180 || fail "no title screen"
window=$(xdotool search --name '^vantle$' | head -n 1)
xdotool windowsize "$window" 320 480
poll 5 fitted_title || fail "made 320x480, the window does not show the title at 320x240 between black bands"

press Return
column() { region $((44 + 16 * $1)) $((120 + 4)) 16 208; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }
poll 3 changed_from "$(column 3)" column 3 || fail "Enter did not start a game"
sleep 0.3
left_before=$(column 2)
# The on-screen Left button: logical (204, 194), 20 x 17.
xdotool mousemove --window "$window" 214 $((120 + 202)) mousedown 1
sleep 0.15
xdotool mouseup 1
poll 2 changed_from "$left_before" column 2 || fail "a click on the Left button the window shows did not move the pair"
shot
all_black 0 0 320 120 || fail "the band above the picture is not black in play"

press Escape
expect_exit_0
echo "ok"
