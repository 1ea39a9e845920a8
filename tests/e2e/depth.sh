#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screens of 30, 16 and 8 bits a pixel show the title screen and then the
# game, as 24-bit ones do (SDL has no window surface for 30 or 8 bits: the
# game draws through a renderer on the first, with Xlib on the second), and
# Escape still ends the game.
set -eu
. "$(dirname "$0")/lib.sh"

well() { region 88 8 224 416; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }

for depth in 30 16 8; do
  start_x 640 480 "$depth"
  if [ "$depth" = 8 ]; then
    # An 8-bit screen shows one colour map at a time, the one the game
    # installed; a shot of the root would read the pixels through the
    # screen's default one instead.
    shot() { import -window "$(xdotool search --name '^vantle$' | head -n 1)" "$WORK/shot.png"; }
  fi
  start_game
  poll 5 title_showing 96 104 96 180 || fail "no title screen at $depth bits a pixel"
  title_well=$(well)
  press Return
  poll 3 changed_from "$title_well" well || fail "Enter did not start a game at $depth bits a pixel"
  before=$(well)
  press Left
  poll 2 changed_from "$before" well || fail "the pair did not move at $depth bits a pixel"
  press Escape
  expect_exit_0
done
echo "ok"
