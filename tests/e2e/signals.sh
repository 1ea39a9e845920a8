#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SIGTERM, SIGHUP, SIGINT and SIGQUIT each end the game as closing its window
# does: what the run changed is saved and the exit code is 0. So too with the
# Options dialog open, when signals come thick and fast (the file is then
# still whole), and while a sound plays (at once, not when it is over).
set -eu
. "$(dirname "$0")/lib.sh"

# A script's background jobs start with SIGINT and SIGQUIT ignored, which the
# game respects; here they are given back their default. Each game has an X
# server of its own, so that no run sees what the one before left behind.
run() {
  start_x 640 480
  start_game --default-signal=INT,QUIT
  poll 5 title_showing 96 104 96 180 || fail "no title screen"
  press s # the sound switched off: only a save keeps that
  sleep 0.2
}

saved_sound_off() {
  [ "$(stat -c %s "$(SETTINGS)")" -eq 36 ] || fail "$1: the settings file is not 36 bytes"
  [ "$(settings_words)" = "86 65 0 0 0 0 1 0 1" ] || fail "$1: settings $(settings_words)"
}

for signal in TERM HUP INT QUIT; do
  run
  kill -"$signal" "$GAME_PID"
  expect_exit_0
  saved_sound_off "SIG$signal"
done

# The Options dialog open: it is cancelled and the game ends.
run
centre() { region 316 200 16 80; } # between the well and the panel
changed_from() { [ "$("${@:2}")" != "$1" ]; }
before=$(centre)
press o
poll 3 changed_from "$before" centre || fail "no Options dialog"
kill -HUP "$GAME_PID"
expect_exit_0
saved_sound_off "SIGHUP in the Options dialog"

# Many signals at once, while the game saves and ends.
run
for _ in 1 2 3 4 5 6 7 8; do
  kill -TERM "$GAME_PID" 2>/dev/null || true
  kill -HUP "$GAME_PID" 2>/dev/null || true
  kill -INT "$GAME_PID" 2>/dev/null || true
  kill -QUIT "$GAME_PID" 2>/dev/null || true
done
expect_exit_0
saved_sound_off "a burst of signals"
[ ! -e "$(SETTINGS).new" ] || fail "a half-made settings file was left"
[ ! -s "$WORK/game.log" ] || fail "the game printed something"

# While the game-over sound (0.88 s) plays: the game ends at once, not when
# the sound is over. SDL's disk output writes the samples as they are
# played; Down held from the start stacks pairs to the top within seconds.
# The first samples of the game-over wave, as " xx xx ..." hex.
gameover_head() {
  local file=$SOURCE_DIR/res/wave2.wav at=12 length id
  while :; do
    id=$(dd if="$file" bs=1 skip="$at" count=4 2>/dev/null)
    length=$(od -An -t u4 --endian=little -j $((at + 4)) -N 4 "$file" | tr -d ' ')
    [ -n "$length" ] || return
    if [ "$id" = data ]; then
      od -An -v -t x1 -j $((at + 8)) -N 48 "$file" | tr -s ' \n' '  '
      return
    fi
    at=$((at + 8 + length + length % 2))
  done
}
HEAD=$(gameover_head)
[ ${#HEAD} -gt 100 ] || fail "no samples found in res/wave2.wav"
AUDIO="$WORK/audio.raw"
gameover_heard() { [ -s "$AUDIO" ] && od -An -v -t x1 "$AUDIO" | tr -s ' \n' '  ' | grep -qF "$HEAD"; }
start_x 640 480
start_game SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO"
poll 5 title_showing 96 104 96 180 || fail "no title screen"
press Return
sleep 0.3
xdotool keydown Down
poll 30 gameover_heard || fail "no game-over sound"
xdotool keyup Down
# A game that ended with a record has saved the settings already; what the
# signal saves is looked for from here.
rm -f "$(SETTINGS)"
kill -HUP "$GAME_PID"
# Timed to the save, which comes before the exit's own work (long under
# the sanitizers).
start=$(date +%s%N)
while [ ! -s "$(SETTINGS)" ]; do
  ms=$((($(date +%s%N) - start) / 1000000))
  [ "$ms" -lt 400 ] || fail "no save within 400 ms of the signal: the sound was played out"
  sleep 0.02
done
expect_exit_0
# The high score is whatever the run made.
[ "$(settings_words | cut -d' ' -f1-3,5-)" = "86 65 1 0 0 1 0 1" ] ||
  fail "during the sound: settings $(settings_words)"
echo "ok"
