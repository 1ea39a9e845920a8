#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A game ended by anything but the player comes back where it was: after
# SIGTERM in play and after SIGKILL once pairs have locked, the next start
# shows the game at once, paused (the PAUSE bar lit), with the picture it
# had, and Space goes on; another program destroying the window ends the
# game as a lost display does, keeping it. Escape in play throws the game
# away: the title next time. A record made by a game that has ended is kept
# through a SIGKILL right after.
# Usage: kept-game.sh VANTLE [VANTLE_SIM]
set -eu
. "$(dirname "$0")/lib.sh"
SIM=${2:-$(dirname "$GAME")/../tools/sim/vantle-sim}
[ -x "$SIM" ] || { echo "SKIP: no vantle-sim beside the game ($SIM)"; exit 77; }

GAMEFILE() { echo "$XDG_DATA_HOME/vantle/vantle.sav"; }
# The PAUSE bar, in the pixels of a 640 x 480 screen (logical 211,161 45x13).
PAUSE_BAR="-fill black -draw 'rectangle 420,320 513,349'"

# How many pixels two screenshots differ by, outside the PAUSE bar.
differ_outside_pause() {
  eval convert "$1" "$PAUSE_BAR" "$WORK/a.png"
  eval convert "$2" "$PAUSE_BAR" "$WORK/b.png"
  compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 || true
}
# How many pixels a screenshot differs from vantle-sim's picture of the
# saved game (logical pixels: the screen halved).
differ_from_sim() {
  convert "$1" -sample 50% "$WORK/half.png"
  compare -metric AE "$WORK/half.png" "$WORK/sim.png" null: 2>&1 || true
}
# vantle-sim's picture of the game kept now, as the game draws it at start.
sim_picture() {
  rm -rf "$WORK/simfiles"
  mkdir -p "$WORK/simfiles"
  [ ! -e "$(SETTINGS)" ] || cp "$(SETTINGS)" "$WORK/simfiles/vantle.dat"
  cp "$(GAMEFILE)" "$WORK/simfiles/vantle.sav"
  echo "shot $WORK/sim.png" | "$SIM" --window 640x480 --settings "$WORK/simfiles/vantle.dat" ||
    fail "vantle-sim could not draw the saved game"
}
shows_sim_picture() { shot && [ "$(differ_from_sim "$WORK/shot.png")" = 0 ]; }
# The game started again on the files it left, and shown at once.
restart() {
  start_game
  poll 10 shows_sim_picture || fail "$1: the game at the next start is not the one kept ($(differ_from_sim "$WORK/shot.png") pixels differ)"
  cp "$WORK/shot.png" "$WORK/restarted.png"
}
well() { region 80 0 240 480; } # the well, at scale 2
column() { region $((88 + 32 * $1)) 8 32 416; } # column c of the well
pause_bar() { region 420 320 94 30; }
not_title() { ! title_showing 96 104 96 180; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }
# How many arrows the board of the game kept now holds (read from a copy:
# vantle-sim may write where it reads).
kept_arrows() {
  rm -rf "$WORK/peek"
  mkdir -p "$WORK/peek"
  cp "$(GAMEFILE)" "$WORK/peek/vantle.sav" 2>/dev/null || { echo 0; return; }
  echo state | "$SIM" --settings "$WORK/peek/vantle.dat" | grep -o '"board":\[[^]]*\]' | tr -cd '1-4' | wc -c
}
# Space goes on: the pair falls (a row every 1.5 s).
goes_on_with_space() {
  local before
  before=$(well)
  sleep 1.7
  [ "$(well)" = "$before" ] || fail "$1: the game moved on before Space"
  press space
  poll 5 changed_from "$before" well || fail "$1: Space does not go on"
}

# SIGTERM in play: the game as it was, paused as after Space. The pair falls
# a row every 1.47 s, and a look at the screen and the signal after it may
# straddle a fall: the game then rightly keeps the pair a row below the
# look. So the look compared is the first to see the pair fall, and the
# signal follows it at once: the next fall comes 1.47 s after the start of
# the last look that had not seen this one. Where a second fall could have
# come all the same (a loaded machine's looks are slow), a different
# picture is no fault: once more, and after three such tries the pictures
# are not compared, which is said.
judged=""
for try in 1 2 3; do
  start_x 640 480
  start_game
  poll 5 title_showing 96 104 96 180 || fail "no title screen"
  press Return
  poll 5 not_title || fail "SIGTERM: Return did not start a game"
  empty=$(column 2)
  press Left
  poll 5 changed_from "$empty" column 2 || fail "SIGTERM: Left did not move the pair"
  since=$(now_ms)
  seen=$(column 2)
  limit=$((since + 10000))
  while :; do
    look=$(now_ms)
    [ "$(column 2)" = "$seen" ] || break
    since=$look
    [ "$look" -lt "$limit" ] || fail "SIGTERM: the pair does not fall"
  done
  kill -TERM "$GAME_PID"
  margin=$(($(now_ms) - since))
  cp "$WORK/shot.png" "$WORK/before.png"
  expect_exit_0
  [ "$(stat -c %s "$(GAMEFILE)")" -eq 338 ] || fail "SIGTERM: no game kept"
  sim_picture
  restart SIGTERM
  if [ "$(differ_outside_pause "$WORK/before.png" "$WORK/restarted.png")" = 0 ]; then
    judged=yes
    break
  fi
  [ "$margin" -ge 1000 ] ||
    fail "SIGTERM: the game came back with another picture than it had (the signal came $margin ms after the last look before the fall)"
  echo "SIGTERM, try $try: the signal came $margin ms after the last look before the fall, time for another: once more"
done
[ -n "$judged" ] ||
  echo "NOTE: SIGTERM: the picture the game had was not compared: each time this machine took too long between its looks and the signal"
[ "$(differ_from_sim "$WORK/before.png")" != 0 ] || fail "SIGTERM: the PAUSE bar is not lit"
goes_on_with_space SIGTERM

# SIGKILL (a power cut) after pairs have locked: the last checkpoint, a new
# pair dealt, comes back with the pairs that had locked.
start_x 640 480
start_game
poll 5 title_showing 96 104 96 180 || fail "no title screen"
press Return
poll 5 not_title || fail "SIGKILL: Return did not start a game"
# Down held until two pairs have locked and the game kept since holds them.
two_pairs_kept() { [ "$(kept_arrows)" -ge 4 ]; }
xdotool keydown Down
poll 15 two_pairs_kept || fail "SIGKILL: with Down held, no game kept with two pairs locked"
xdotool keyup Down
sleep 0.5
kill -KILL "$GAME_PID"
wait "$GAME_PID" 2>/dev/null || true
GAME_PID=""
[ -s "$(GAMEFILE)" ] || fail "SIGKILL: no game kept"
locked=$(kept_arrows)
[ "$locked" -ge 4 ] || fail "SIGKILL: the kept game holds $locked arrows, not the pairs that locked"
sim_picture
restart SIGKILL
goes_on_with_space SIGKILL
# Paused, then killed: exactly the picture it had, once the PAUSE bar shows.
unpaused=$(pause_bar)
press space
poll 5 changed_from "$unpaused" pause_bar || fail "Space did not pause the game"
sleep 0.3
shot
cp "$WORK/shot.png" "$WORK/before.png"
kill -KILL "$GAME_PID"
wait "$GAME_PID" 2>/dev/null || true
GAME_PID=""
start_game
same_as_before() { shot && [ "$(compare -metric AE "$WORK/shot.png" "$WORK/before.png" null: 2>&1 || true)" = 0 ]; }
poll 10 same_as_before || fail "SIGKILL while paused: another picture at the next start"

# Another program destroys the window: exit 1 with one line, the game kept.
xdotool search --name '^vantle$' windowclose
code=0
end=$((SECONDS + 5))
while kill -0 "$GAME_PID" 2>/dev/null; do
  [ "$SECONDS" -lt "$end" ] || fail "the game runs on after its window was destroyed"
  sleep 0.1
done
wait "$GAME_PID" || code=$?
GAME_PID=""
[ "$code" -eq 1 ] || fail "window destroyed: exit code $code, expected 1"
[ "$(wc -l <"$WORK/game.log")" -eq 1 ] && grep -q "window was destroyed" "$WORK/game.log" ||
  fail "window destroyed: expected one line saying so, got: $(cat "$WORK/game.log")"
[ "$(stat -c %s "$(SETTINGS)")" -eq 36 ] || fail "window destroyed: the settings are not saved"
[ -s "$(GAMEFILE)" ] || fail "window destroyed: no game kept"
sim_picture
restart "window destroyed"

# Escape in play throws the game away: the title next time.
press Escape
expect_exit_0
[ ! -e "$(GAMEFILE)" ] || fail "Escape in play left the game kept"
start_game
poll 5 title_showing 96 104 96 180 || fail "Escape in play: no title at the next start"

# A record kept through a SIGKILL right after the game ended. The game is
# set up by vantle-sim: column 3 nearly full, and a pair of right arrows
# that completes a row of four as it lands, for 4 points; the next pair
# ends the game.
stop_game
start_x 640 480
mkdir -p "$XDG_DATA_HOME/vantle" "$WORK/setup"
{
  printf 'tick 2\ndown 13\ntick\nup 13\n'
  for column in 0 1 2 3; do
    for row in 3 4 5 6 7 8 9 10 11 12; do
      echo "cell $column $row $(((column + 2 * row) % 4 + 1))"
    done
  done
  printf 'cell 0 2 2\ncell 1 2 2\ncell 2 2 2\npair 2 2\nnext 1 1\nsuspend\n'
} | "$SIM" --settings "$WORK/setup/vantle.dat"
cp "$WORK/setup/vantle.sav" "$(GAMEFILE)"
sim_picture
restart "the game set up"
press space
# Down held until the game has ended (its kept game thrown away) and its
# record is on the disk, while the game still runs; then the power cut.
record_saved() {
  [ -s "$(SETTINGS)" ] && [ "$(settings_words | cut -d' ' -f4)" = 4 ] && [ ! -e "$(GAMEFILE)" ]
}
xdotool keydown Down
poll 15 record_saved || fail "the game has not ended with its record saved: settings $(settings_words 2>/dev/null)"
xdotool keyup Down
kill -0 "$GAME_PID" || fail "the game ended on its own"
kill -KILL "$GAME_PID"
wait "$GAME_PID" 2>/dev/null || true
GAME_PID=""
[ "$(settings_words | cut -d' ' -f4)" = 4 ] || fail "the record is lost: settings $(settings_words 2>/dev/null)"
[ ! -e "$(GAMEFILE)" ] || fail "the game that ended is still kept"
echo "ok"
