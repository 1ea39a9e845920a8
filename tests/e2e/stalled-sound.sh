#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A sound output that does not answer never holds the game: SDL's disk
# driver writes to a FIFO that nobody reads (opening it waits for ever) or
# that a reader opens and never drains (writing, and so closing, waits). The
# game plays on past the landing, and Escape or SIGTERM end it at once.
set -eu
. "$(dirname "$0")/lib.sh"

command -v perl >/dev/null 2>&1 || { echo "SKIP: perl is not installed"; exit 77; }
FIFO="$WORK/audio.fifo"
READER_PID=""
stop_reader() {
  [ -z "$READER_PID" ] || end_process "$READER_PID"
  READER_PID=""
}
trap 'stop_reader; cleanup' EXIT

# The bottom cell of the pair's column (landscape 640 x 480, scale 2), and
# the whole column, where each new pair appears and falls.
bottom_cell() { region $((88 + 32 * 3)) $((8 + 32 * 12)) 32 32; }
pair_column() { region $((88 + 32 * 3)) 8 32 416; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }

not_title() { ! title_showing 96 104 96 180; }

# Plays until the first pair lands, Down (which repeats) held long enough to
# bring it down and not the next one, however slow the looks at the screen
# are; then the next pair must fall on its own, which it does only if the
# game goes on (and once it does, no landing resolves, which would leave
# Escape unread).
land_a_pair() {
  press Return
  poll 5 not_title || fail "Return did not start a game"
  local empty column
  empty=$(bottom_cell)
  xdotool keydown Down
  sleep 1.5
  xdotool keyup Down
  poll 10 changed_from "$empty" bottom_cell || fail "the pair did not land"
  sleep 0.5
  column=$(pair_column)
  poll 4 changed_from "$column" pair_column || fail "the game stopped after the landing"
}


start_x 640 480
mkfifo "$FIFO"
start_game SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$FIFO"
poll 5 title_showing 96 104 96 180 || fail "no title screen"
land_a_pair
xdotool keydown Escape
sleep 0.15
xdotool keyup Escape
ends_within_a_second "Escape with the output not opening"
[ "$(settings_words | cut -d' ' -f1-3,5-)" = "86 65 1 0 0 1 0 1" ] || fail "settings $(settings_words)"

# A reader that takes nothing, its pipe cut to one page: a third of a
# second of sound fills it.
start_x 640 480
rm -f "$FIFO"
mkfifo "$FIFO"
perl -e 'open(my $f, "<", $ARGV[0]) or die; fcntl($f, 1031, 4096); sleep 120' "$FIFO" &
READER_PID=$!
start_game SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$FIFO"
poll 5 title_showing 96 104 96 180 || fail "no title screen"
land_a_pair
sleep 1.5 # quiet for a second: the output is closed, which waits on the pipe
kill -0 "$GAME_PID" || fail "the game ended by itself"
kill -TERM "$GAME_PID"
ends_within_a_second "SIGTERM with the output not closing"
[ "$(settings_words | cut -d' ' -f1-3,5-)" = "86 65 1 0 0 1 0 1" ] || fail "settings $(settings_words)"
echo "ok"
