#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Options dialog and the pointer and keys. A button of the dialog acts
# when the mouse button, pressed on it, is let go on it: not when it goes
# down, and not when it is let go elsewhere. Left, held when the dialog
# opens and let go while it is open, is let go: the next press of Left
# moves the pair (Left does not repeat, so a Left the game still thought
# held would take that press for the same one).
set -eu
. "$(dirname "$0")/lib.sh"

# Landscape 640 x 480 at scale 2: column c of the well at x 88 + 32c.
not_title() { ! title_showing 96 104 96 180; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }
same_as() { [ "$("${@:2}")" = "$1" ]; }
centre() { region 316 200 16 80; } # between the well and the panel
column() { region $((88 + 32 * $1)) 8 32 416; }
CANCEL_X=396 CANCEL_Y=330          # the middle of the dialog's CANCEL

start_x 640 480
start_game
poll 5 title_showing 96 104 96 180 || fail "no title screen"
press Return
poll 3 not_title || fail "Enter did not start a game"
closed=$(centre)

press o
poll 3 changed_from "$closed" centre || fail "no Options dialog"
open=$(centre)
xdotool mousemove "$CANCEL_X" "$CANCEL_Y" mousedown 1
sleep 0.3
same_as "$open" centre || fail "CANCEL acted as the mouse button went down"
# Slid off and let go: nothing.
xdotool mousemove 20 20
sleep 0.1
xdotool mouseup 1
sleep 0.3
same_as "$open" centre || fail "CANCEL acted although the mouse button was let go off it"
xdotool mousemove "$CANCEL_X" "$CANCEL_Y" mousedown 1
sleep 0.15
xdotool mouseup 1
poll 3 same_as "$closed" centre || fail "a click on CANCEL did not close the dialog"

# Left held: the pair moves from column 3 to 2, once.
left_of=$(column 2)
xdotool keydown Left
poll 2 changed_from "$left_of" column 2 || fail "Left did not move the pair"
press o
poll 3 changed_from "$closed" centre || fail "no Options dialog with Left held"
xdotool keyup Left
sleep 0.2
press Escape
poll 3 same_as "$closed" centre || fail "Escape did not close the dialog"
left_of=$(column 1)
press Left
poll 2 changed_from "$left_of" column 1 || fail "Left let go in the dialog: the next Left did not move the pair"

kill -0 "$GAME_PID" || fail "the game ended"
press Escape
expect_exit_0
echo "ok"
