#!/bin/bash
# SIGTERM, SIGHUP, SIGINT and SIGQUIT each end the game as closing its window
# does: what the run changed is saved and the exit code is 0. So too with the
# Options dialog open, and when signals come thick and fast (the file is
# then still whole).
set -eu
. "$(dirname "$0")/lib.sh"

# A script's background jobs start with SIGINT and SIGQUIT ignored, which the
# game respects; here they are given back their default.
run() {
  rm -f "$(SETTINGS)"
  start_game --default-signal=INT,QUIT
  poll 5 title_showing 96 104 96 180 || fail "no title screen"
  press s # the sound switched off: only a save keeps that
  sleep 0.2
}

saved_sound_off() {
  [ "$(stat -c %s "$(SETTINGS)")" -eq 36 ] || fail "$1: the settings file is not 36 bytes"
  [ "$(settings_words)" = "86 65 0 0 0 0 1 0 1" ] || fail "$1: settings $(settings_words)"
}

start_x 640 480
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
echo "ok"
