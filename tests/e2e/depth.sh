#!/bin/bash
# Screens of 30 and 16 bits a pixel show the title screen, as 24-bit ones
# do (a 30-bit screen has no window surface of a kind SDL can draw into:
# the game draws it through a renderer), and Escape still ends the game.
set -eu
. "$(dirname "$0")/lib.sh"

for depth in 30 16; do
  start_x 640 480 "$depth"
  start_game
  poll 5 title_showing 96 104 96 180 || fail "no title screen at $depth bits a pixel"
  press Escape
  expect_exit_0
done
echo "ok"
