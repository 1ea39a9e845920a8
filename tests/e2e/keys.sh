#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every key reaches the game: keys that type nothing (Backspace, the
# keypad's Home) start a game from the title as any other key does. A key
# held while the window loses the focus, with Alt held too (as when Alt+Tab
# takes it away), does not stay held once the window has the focus again:
# the pair does not go on dropping by itself.
set -eu
. "$(dirname "$0")/lib.sh"

command -v xmessage >/dev/null 2>&1 ||
  { echo "SKIP: xmessage is not installed (tools/setup-deps test installs it)"; exit 77; }

not_title() { ! title_showing 96 104 96 180; }
next_box() { region 440 70 56 70; } # the next pair, in the panel

start_x 640 480
start_game
poll 5 title_showing 96 104 96 180 || fail "no title screen"
press BackSpace
poll 3 not_title || fail "Backspace did not start a game"
stop_game
# The game killed in play is kept for the next start; this one starts from
# the title.
rm -f "$XDG_DATA_HOME/vantle/vantle.sav"

# Another window to give the focus to.
xmessage -geometry 120x40+0+0 other >/dev/null 2>&1 &
OTHER_PID=$!
trap 'kill "$OTHER_PID" 2>/dev/null || true; cleanup' EXIT
poll 5 xdotool search --name '^xmessage$' >/dev/null || fail "no other window"
other=$(xdotool search --name '^xmessage$' | head -n 1)

start_game
poll 5 title_showing 96 104 96 180 || fail "no title screen"
game=$(xdotool search --name '^vantle$' | head -n 1)
xdotool windowfocus --sync "$game"
# The keypad's 7 without Num Lock is Home.
press KP_Home
poll 3 not_title || fail "the keypad's Home did not start a game"
# Down repeats (the default): held for a few rows only, or to the landing if
# the machine is slow to move the focus.
xdotool keydown Down
sleep 0.2
xdotool keydown Alt_L
xdotool windowfocus --sync "$other"
sleep 0.2
xdotool keyup Down
xdotool keyup Alt_L
xdotool windowfocus --sync "$game"
# Falling by itself, a row every 1.5 s, a new pair takes 13 falls to land:
# in the 5 s after the focus came back at most one is dealt (after the pair
# that Down brought down lands). With Down still held a pair would land
# about every 1.3 s, and the panel would show new pairs one after another.
dealt=0
last=$(next_box)
end=$(($(now_ms) + 5000))
while [ "$(now_ms)" -lt "$end" ]; do
  now=$(next_box)
  [ "$now" = "$last" ] || dealt=$((dealt + 1))
  last=$now
done
[ "$dealt" -le 1 ] || fail "the pair went on dropping after the focus came back ($dealt pairs dealt in 5 s)"
kill -0 "$GAME_PID" || fail "the game ended"
press Escape
expect_exit_0
echo "ok"
