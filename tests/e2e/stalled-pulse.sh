#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# With a real sound server (a private PulseAudio with a null sink) stopped
# by SIGSTOP, the game plays on: a landing costs no more than its sound,
# whether the server stalls before the output is opened or while it is
# open (closing it then waits for ever), and Escape or SIGTERM end the game
# at once.
set -eu
. "$(dirname "$0")/lib.sh"

command -v pulseaudio >/dev/null 2>&1 ||
  { echo "SKIP: pulseaudio is not installed (tools/setup-deps test installs it)"; exit 77; }
PULSE_PID=""
stop_pulse() {
  [ -n "$PULSE_PID" ] && kill -CONT "$PULSE_PID" 2>/dev/null || true
  [ -z "$PULSE_PID" ] || end_process "$PULSE_PID"
  PULSE_PID=""
}
trap 'stop_pulse; cleanup' EXIT

# A server of its own, on a socket of its own; nothing else talks to it.
start_pulse() {
  stop_pulse
  mkdir -p "$WORK/pulse-home" "$WORK/pulse-run"
  rm -f "$WORK/pulse.sock"
  HOME="$WORK/pulse-home" XDG_RUNTIME_DIR="$WORK/pulse-run" pulseaudio -n --daemonize=no \
    --exit-idle-time=-1 --use-pid-file=no --system=false -L module-null-sink \
    -L "module-native-protocol-unix socket=$WORK/pulse.sock auth-anonymous=1" \
    >"$WORK/pulse.log" 2>&1 &
  PULSE_PID=$!
  poll 10 test -S "$WORK/pulse.sock" ||
    { echo "SKIP: PulseAudio does not start here: $(tail -n 3 "$WORK/pulse.log")"; exit 77; }
}

pair_column() { region $((88 + 32 * 3)) 8 32 416; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }

# Holds Down long enough for the pair to land from the top, then checks
# that the game goes on: the next pair falls on its own.
land_a_pair() {
  local column
  xdotool keydown Down
  sleep 1.5
  xdotool keyup Down
  sleep 0.3
  column=$(pair_column)
  poll 4 changed_from "$column" pair_column || fail "the game stopped after a landing"
}


play() {
  start_x 640 480
  start_game SDL_AUDIODRIVER=pulseaudio PULSE_SERVER="unix:$WORK/pulse.sock"
  poll 5 title_showing 96 104 96 180 || fail "no title screen"
  press Return
  sleep 0.3
}

# The server stalls while the output is open: it is closed after a second
# of quiet, which now waits; the next landing opens another, which waits too.
start_pulse
play
land_a_pair
kill -STOP "$PULSE_PID"
sleep 1.5
land_a_pair
xdotool keydown Escape
sleep 0.15
xdotool keyup Escape
ends_within_a_second "Escape with the sound server stopped"
[ "$(settings_words | cut -d' ' -f1-3,5-)" = "86 65 1 0 0 1 0 1" ] || fail "settings $(settings_words)"

# The server stalls before the game has any output.
start_pulse
play
kill -STOP "$PULSE_PID"
land_a_pair
kill -TERM "$GAME_PID"
ends_within_a_second "SIGTERM with the sound server stopped"
[ "$(settings_words | cut -d' ' -f1-3,5-)" = "86 65 1 0 0 1 0 1" ] || fail "settings $(settings_words)"
echo "ok"
