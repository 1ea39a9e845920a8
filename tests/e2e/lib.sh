# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end scripts: a private X server, the game in it with a
# private home, keys, screenshots and pixel checks. Sourced, not run.
#
# The game binary is the first argument of every script.

GAME=${1:?usage: $0 path/to/vantle}
SOURCE_DIR=$(cd "$(dirname "$0")/../.." && pwd)

for tool in Xvfb xdotool import convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (tools/setup-deps test installs it)"
    exit 77
  fi
done

# In a sanitizer build, what the system's libraries keep is not our leak
# (the project's list, unless the caller gave one), and the game's output
# stays empty.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$SOURCE_DIR/tests/lsan-suppressions.txt}:print_suppressions=0"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vantle-e2e.XXXXXX")
XVFB_PID=""
GAME_PID=""

# The game is killed outright: a test may be failing because it does not
# answer the polite signal.
cleanup() {
  [ -n "$GAME_PID" ] && kill -KILL "$GAME_PID" 2>/dev/null || true
  [ -n "$GAME_PID" ] && wait "$GAME_PID" 2>/dev/null || true
  [ -z "$XVFB_PID" ] || end_process "$XVFB_PID"
  rm -rf "$WORK"
}
trap cleanup EXIT

# Ends a helper this script started (SIGTERM, then SIGKILL if it has not
# gone within five seconds) and reaps it: never a wait without end.
end_process() {
  kill "$1" 2>/dev/null || true
  local end=$((SECONDS + 5))
  while kill -0 "$1" 2>/dev/null && [ "$SECONDS" -lt "$end" ]; do sleep 0.05; done
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$WORK/game.log" ]; then
    echo "the game's output:" >&2
    head -c 2000 "$WORK/game.log" >&2
  fi
  if [ -f "$WORK/shot.png" ]; then
    # A name of its own: another build's run may fail at the same time.
    keep=$(mktemp "${TMPDIR:-/tmp}/vantle-e2e-$(basename "$0" .sh)-failed.XXXXXX.png") &&
      cp "$WORK/shot.png" "$keep" && echo "last screenshot: $keep" >&2
  fi
  exit 1
}

# Milliseconds of the clock.
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Waits up to $1 whole seconds for the command after it to succeed.
poll() {
  local end=$(($(now_ms) + $1 * 1000))
  shift
  until "$@"; do
    [ "$(now_ms)" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# start_x WIDTH HEIGHT [DEPTH]: a new X server on a free display (24 bits a
# pixel unless told), with a fresh home.
start_x() {
  stop_game
  [ -z "$XVFB_PID" ] || end_process "$XVFB_PID"
  rm -f "$WORK/display"
  # Xvfb picks the display number itself and writes it once it is ready.
  # -noreset: a server whose last client has gone would otherwise reset and
  # refuse the next one for a moment, which a test would take for a fault.
  Xvfb -displayfd 3 -screen 0 "${1}x${2}x${3:-24}" -noreset -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  poll 10 test -s "$WORK/display" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
  export DISPLAY=":$(head -n 1 "$WORK/display")"
  export HOME="$WORK/home"
  export XDG_DATA_HOME="$WORK/home/data"
  rm -rf "$HOME"
  mkdir -p "$HOME"
  unset SDL_AUDIODRIVER SDL_DISKAUDIOFILE
}

SETTINGS() { echo "$XDG_DATA_HOME/vantle/vantle.dat"; }

window_found() { xdotool search --name '^vantle$' >/dev/null 2>&1; }

# Starts the game (extra environment as VAR=value arguments) and waits for
# its window and its title screen.
start_game() {
  env "$@" "$GAME" >"$WORK/game.log" 2>&1 &
  GAME_PID=$!
  poll 10 window_found || fail "no window appeared"
}

# Ends the game the way it is asked to (its keys or a signal) and checks
# that it exits with code 0 on its own.
expect_exit_0() {
  local end=$((SECONDS + 10))
  while kill -0 "$GAME_PID" 2>/dev/null; do
    [ "$SECONDS" -lt "$end" ] || fail "the game did not end"
    sleep 0.1
  done
  local code=0
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  [ "$code" -eq 0 ] || fail "exit code $code, expected 0"
}

stop_game() {
  if [ -n "$GAME_PID" ]; then
    kill -KILL "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
    GAME_PID=""
  fi
}

# A key held for two game ticks: the game reads keys once a tick, and a
# press and release between two ticks would be missed.
press() {
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
}

shot() { import -window root "$WORK/shot.png"; }

# Colours (#RRGGBB, one a line) of a rectangle of the last screenshot.
pixels() {
  convert "$WORK/shot.png" -crop "${3}x${4}+${1}+${2}" +repage -depth 8 txt:- |
    tail -n +2 | awk '{ print $3 }'
}

# A checksum of a rectangle of a new screenshot.
region() {
  shot
  convert "$WORK/shot.png" -crop "${3}x${4}+${1}+${2}" +repage -depth 8 rgb:- | md5sum | cut -c1-32
}

# How many pixels of a rectangle of the last screenshot are strongly red.
red_count() {
  convert "$WORK/shot.png" -crop "${3}x${4}+${1}+${2}" +repage -depth 8 txt:- | tail -n +2 |
    sed 's/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/' |
    awk '$1 >= 200 && $2 <= 60 && $3 <= 60 { n++ } END { print n + 0 }'
}

# Whether every pixel of a rectangle of the last screenshot is white.
all_white() { [ -z "$(pixels "$@" | grep -v '^#FFFFFF$')" ]; }

# The title screen at logical scale 2: its prompt strip is white where its
# text's background is, and the logo is red. Arguments: the logical left and
# top of the logo and of the prompt rectangle.
title_showing() {
  shot
  local logoX=$1 logoY=$2 promptX=$3 promptY=$4
  # The text extent is centred in the 128-wide prompt: well inside it, the
  # row above the letters is white.
  all_white $((2 * (promptX + 19))) $((2 * promptY + 1)) 180 1 || return 1
  [ "$(red_count $((2 * logoX)) $((2 * logoY)) 256 64)" -ge 1000 ]
}

# The settings file as nine little-endian words on one line.
settings_words() { od -An -v -t u4 --endian=little "$(SETTINGS)" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

# Waits for the game to end, at most a second, and checks its exit code.
ends_within_a_second() {
  local start code=0
  start=$(date +%s%N)
  while kill -0 "$GAME_PID" 2>/dev/null; do
    [ $((($(date +%s%N) - start) / 1000000)) -lt 1000 ] || fail "$1 did not end the game within a second"
    sleep 0.05
  done
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  [ "$code" -eq 0 ] || fail "exit code $code after $1"
}
