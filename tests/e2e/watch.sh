#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Watching a replay on the desktop: `vantle --watch FILE` shows the game's
# own picture, the one vantle-sim drew at the same tick of the same game;
# Home goes back to the start, Right a tick forward, Left a tick back, Down
# on to the next pair, Space plays and pauses; Enter plays on from there (the
# game paused, as a kept game comes back; Space goes on) and Escape then
# ends it as a game of the player's, whose replay is kept. Watching alone
# keeps nothing. `vantle --watch` with no best game kept says so (exit 1);
# `vantle --game CODE` brings the game back paused. (No game controller is
# tried here.)
# Usage: watch.sh VANTLE VANTLE_SIM
set -eu
. "$(dirname "$0")/lib.sh"
SIM=${2:-$(dirname "$GAME")/../tools/sim/vantle-sim}
[ -x "$SIM" ] || { echo "SKIP: no vantle-sim beside the game ($SIM)"; exit 77; }

DATA() { echo "$XDG_DATA_HOME/vantle"; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }
well() { region 80 0 240 480; } # the well, at scale 2

# The game with these arguments, its window up.
start_with() {
  "$GAME" "$@" >"$WORK/game.log" 2>&1 &
  GAME_PID=$!
  poll 10 window_found || fail "no window appeared for vantle $*"
}
# The replay, watched, shows one of its pictures: it is taking keys.
start_watching() {
  start_with --watch "$1"
  poll 10 any_tick_shown || fail "watching: the screen shows none of the replay's pictures"
}

# A game played by vantle-sim, its replay written, with its state and its
# picture (logical pixels, as --window 640x480 lays them out) after every
# tick of the replay: sim/N.png after tick N, states line N + 1.
mkdir -p "$WORK/sim" "$WORK/simfiles"
{
  printf 'tick 2\ndown 13\ntick\nup 13\nstate\nshot %s\n' "$WORK/sim/0.png"
  for t in $(seq 1 120); do
    case $t in
      1) echo "down 37" ;; 2) echo "up 37" ;;
      4) echo "down 38" ;; 5) echo "up 38" ;;
      9) echo "down 40" ;; 22) echo "up 40" ;;
      50) echo "down 39" ;; 51) echo "up 39" ;;
      60) echo "down 40" ;; 75) echo "up 40" ;;
    esac
    printf 'tick\nstate\nshot %s\n' "$WORK/sim/$t.png"
  done
  echo "replay $WORK/watched.replay"
} >"$WORK/game.sim"
"$SIM" --window 640x480 --settings "$WORK/simfiles/vantle.dat" "$WORK/game.sim" >"$WORK/states" ||
  fail "vantle-sim could not play the game to watch"
"$SIM" --replay "$WORK/watched.replay" >/dev/null || fail "the replay to watch does not play to its end"
mapfile -t modes < <(grep -o '"mode":[0-9]' "$WORK/states" | cut -d: -f2)
[ "${#modes[@]}" -eq 121 ] || fail "vantle-sim wrote ${#modes[@]} states, not 121"

# The pixels of a picture, as one checksum: vantle-sim's, and the screen's
# halved.
sums=()
for t in $(seq 0 120); do
  sums[t]=$(convert "$WORK/sim/$t.png" -depth 8 rgb:- | md5sum | cut -c1-32)
done
screen_sum() { shot && convert "$WORK/shot.png" -sample 50% -depth 8 rgb:- | md5sum | cut -c1-32; }
shows_tick() { [ "$(screen_sum)" = "${sums[$1]}" ]; }
# The tick whose picture the screen shows, or nothing.
tick_shown() {
  local now t
  now=$(screen_sum)
  for t in $(seq 0 120); do
    [ "${sums[t]}" != "$now" ] || { echo "$t"; return; }
  done
}
any_tick_shown() { [ -n "$(tick_shown)" ]; }
expect_tick() { # TICK WHAT
  poll 5 shows_tick "$1" ||
    fail "$2: the screen is not vantle-sim's picture of tick $1 (it is tick '$(tick_shown)')"
}
# A watch key held 150 ms (one xdotool run, so that nothing comes between
# the key going down and up), then the screen shows tick TICK; $cur is the
# tick shown. A hold that a loaded machine stretched past 600 ms may have
# brought the X server's auto-repeat, which steps again: the step is then
# not judged (said), and $cur is what the screen shows.
cur=0
step() { # KEY TICK WHAT
  local start took
  start=$(now_ms)
  xdotool keydown "$1" sleep 0.15 keyup "$1"
  took=$(($(now_ms) - start))
  if [ "$took" -lt 600 ]; then
    cur=$2
    expect_tick "$cur" "$3"
  else
    sleep 0.5
    cur=$(tick_shown)
    [ -n "$cur" ] || fail "$3: the screen shows none of the replay's ticks"
    echo "NOTE: $3: $1 was held $took ms (auto-repeat may step again): not judged; tick $cur shown"
  fi
}

# With no best game kept, there is nothing to watch: one line, exit 1.
start_x 640 480
code=0
"$GAME" --watch >"$WORK/game.log" 2>&1 || code=$?
[ "$code" -eq 1 ] || fail "--watch with no best game: exit $code, not 1"
grep -q "no best game" "$WORK/game.log" || fail "--watch with no best game: $(cat "$WORK/game.log")"

# The replay watched: the keys step it, and the picture is the game's own.
start_watching "$WORK/watched.replay"
step Home 0 "Home"
for _ in 1 2 3; do step Right $((cur + 1)) "a tick forward"; done
step Left $((cur - 1)) "a tick back"
# On to the next pair: the first tick after this one where a landing has
# resolved.
next=""
for t in $(seq $((cur + 1)) 120); do
  if [ "${modes[t - 1]}" = 2 ] && [ "${modes[t]}" = 1 ]; then next=$t; break; fi
done
[ -n "$next" ] || fail "no pair lands in the game watched after tick $cur"
step Down "$next" "on to the next pair"
# Space plays (the picture moves on) and pauses (it stays).
step Home 0 "back to the start"
press space
poll 5 changed_from "${sums[0]}" screen_sum || fail "Space does not play the replay"
press space
sleep 0.3
paused=$(tick_shown)
[ -n "$paused" ] || fail "paused, the screen shows none of the replay's ticks"
sleep 1
expect_tick "$paused" "paused"
# Escape stops watching: the program ends, keeping nothing.
press Escape
expect_exit_0
[ ! -e "$(DATA)/vantle.sav" ] || fail "watching kept a game"
[ ! -e "$(DATA)/vantle-last.replay" ] || fail "watching kept a replay as the last game's"

# Played on from tick 12 or so (the first pair turned and falling): the game is
# the player's, paused as a kept game comes back; Space goes on; Escape ends
# it as the player's game, its replay kept as the last game's.
start_watching "$WORK/watched.replay"
step Home 0 "Home"
while [ "$cur" -lt 12 ]; do step Right $((cur + 1)) "a tick forward"; done
press Return
sleep 1
before=$(well)
sleep 1.6
[ "$(well)" = "$before" ] || fail "played on: the game goes on before Space"
press space
poll 5 changed_from "$before" well || fail "played on: Space does not go on"
press Escape
expect_exit_0
[ ! -e "$(DATA)/vantle.sav" ] || fail "played on: Escape in play left the game kept"
[ -s "$(DATA)/vantle-last.replay" ] || fail "played on: no replay kept as the last game's"
"$SIM" --replay "$(DATA)/vantle-last.replay" >/dev/null ||
  fail "played on: the last game's replay does not play to where it says"

# A game brought from elsewhere: its code (the kept game's bytes in
# base64url) given on the command line comes back paused, as vantle-sim
# draws it, and Space goes on.
mkdir -p "$WORK/kept"
printf 'tick 2\ndown 13\ntick\nup 13\ndown 39\ntick\nup 39\ndown 40\ntick 14\nup 40\ntick 25\nsuspend\n' |
  "$SIM" --settings "$WORK/kept/vantle.dat"
[ -s "$WORK/kept/vantle.sav" ] || fail "vantle-sim kept no game"
echo "shot $WORK/kept.png" | "$SIM" --window 640x480 --settings "$WORK/kept/vantle.dat" ||
  fail "vantle-sim could not draw the kept game"
kept_sum=$(convert "$WORK/kept.png" -depth 8 rgb:- | md5sum | cut -c1-32)
game_code=$(basenc --base64url -w0 "$WORK/kept/vantle.sav" | tr -d '=')
start_x 640 480
start_with --game "$game_code"
shows_kept() { [ "$(screen_sum)" = "$kept_sum" ]; }
poll 5 shows_kept || fail "--game CODE: the screen is not the game brought back"
before=$(well)
press space
poll 5 changed_from "$before" well || fail "--game CODE: Space does not go on"
press Escape
expect_exit_0
echo "ok"
