#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# No input is lost however much of it waits: keys pressed and let go while
# the game stood still (a stalled machine; here SIGSTOP), thousands of them,
# all reach it once it goes on. Down held through the stall and let go at
# its end is let go (the pair does not rush down), and a close asked for at
# the end of a burst ends the game.
set -eu
. "$(dirname "$0")/lib.sh"

# $1 presses of Left, each down and up, sent as fast as the X server takes
# them (xdotool waits 12 ms after each key unless told: 36 s a burst).
burst() {
  local args=()
  for _ in $(seq "$1"); do args+=(keydown --delay 0 Left keyup --delay 0 Left); done
  xdotool "${args[@]}"
}
well_bottom() { region 80 300 240 120; } # rows 9 to 12 of the well, at scale 2
# The game goes on after its stall; one gone meanwhile fails with how it ended.
go_on() {
  kill -CONT "$GAME_PID" 2>/dev/null && return
  local code=0
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  fail "the game was gone at the end of the stall (exit status $code)"
}

start_x 640 480
start_game
poll 5 title_showing 96 104 96 180 || fail "no title screen"
press Return
sleep 0.5
bottom=$(well_bottom)

kill -STOP "$GAME_PID"
xdotool keydown Down
burst 1500
xdotool keyup Down
go_on
# With Down held the pair would land within a second and the next ones pile
# up; let go, the first pair is still high in the well.
sleep 3
[ "$(well_bottom)" = "$bottom" ] || fail "Down stayed held after the burst: pairs landed"

kill -STOP "$GAME_PID"
burst 1500
xdotool keydown alt+F4
xdotool keyup alt+F4
go_on
expect_exit_0
[ -s "$(SETTINGS)" ] || fail "the close at the end of the burst did not save the settings"
echo "ok: 6000 keys and a close after a stall, nothing lost"
