#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Enter starts a game, Left moves the pair, O opens the Options dialog and
# Escape closes it, a pair lands (heard or, with no sound device, not), and
# Escape quits with exit code 0. The game prints nothing all the while.
set -eu
. "$(dirname "$0")/lib.sh"

# Landscape 640 x 480 at scale 2: the well's cells are 16 logical pixels,
# column c at logical x 44 + 16c, row r at y 4 + 16r; the pair starts in
# column 3.
column() { region $((88 + 32 * $1)) 8 32 416; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }
same_as() { [ "$("${@:2}")" = "$1" ]; }
centre() { region 316 200 16 80; } # between the well and the panel

start_x 640 480
start_game
poll 5 title_showing 96 104 96 180 || fail "no title screen"
title_well=$(region 88 8 224 416)

press Return
poll 3 changed_from "$title_well" region 88 8 224 416 || fail "the well did not change after Enter"
shot
! title_showing 96 104 96 180 || fail "the title is still showing"
left_before=$(column 2)
press Left
poll 2 changed_from "$left_before" column 2 || fail "the pair did not move left"

centre_before=$(centre)
press o
poll 3 changed_from "$centre_before" centre || fail "no Options dialog"
press Escape
poll 3 same_as "$centre_before" centre || fail "the Options dialog did not close"
kill -0 "$GAME_PID" || fail "Escape in the dialog ended the game"

# Down held until the pair lands in the bottom row of its column (now 2).
bottom_before=$(region $((88 + 32 * 2)) $((8 + 32 * 12)) 32 32)
xdotool keydown Down
poll 8 changed_from "$bottom_before" region $((88 + 32 * 2)) $((8 + 32 * 12)) 32 32 ||
  fail "the pair did not land"
xdotool keyup Down
sleep 1 # the landing resolves (Escape is not read meanwhile)
kill -0 "$GAME_PID" || fail "the game ended at the landing"

press Escape
expect_exit_0
[ "$(settings_words)" = "86 65 1 0 0 0 1 0 1" ] || fail "settings $(settings_words)"
[ ! -s "$WORK/game.log" ] || fail "the game printed something"
echo "ok"
