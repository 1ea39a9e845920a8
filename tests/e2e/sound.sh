#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# With SDL's disk audio output, a landing writes the landing wave's samples
# to the output file; with the sound switched off (S) nothing is written.
set -eu
. "$(dirname "$0")/lib.sh"

# The samples of a wave file, as " xx xx ..." hex: its data chunk, found
# chunk by chunk.
wave_hex() {
  local file=$1 at=12 size id length
  size=$(stat -c %s "$file")
  while [ $((at + 8)) -le "$size" ]; do
    id=$(dd if="$file" bs=1 skip="$at" count=4 2>/dev/null)
    length=$(od -An -t u4 --endian=little -j $((at + 4)) -N 4 "$file" | tr -d ' ')
    if [ "$id" = data ]; then
      od -An -v -t x1 -j $((at + 8)) -N "$length" "$file" | tr -s ' \n' '  '
      return
    fi
    at=$((at + 8 + length + length % 2))
  done
}
LANDING=$(wave_hex "$SOURCE_DIR/res/wave3.wav")
[ ${#LANDING} -gt 300 ] || fail "no samples found in res/wave3.wav"
AUDIO="$WORK/audio.raw"
landing_written() { [ -s "$AUDIO" ] && od -An -v -t x1 "$AUDIO" | tr -s ' \n' '  ' | grep -qF "$LANDING"; }

# The bottom cell of the pair's column (landscape 640 x 480, scale 2).
bottom_cell() { region $((88 + 32 * 3)) $((8 + 32 * 12)) 32 32; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }
not_title() { ! title_showing 96 104 96 180; }
game_gone() { ! kill -0 "$GAME_PID" 2>/dev/null; }

# Plays until the first pair lands: Down (which repeats) held long enough to
# bring it down, not long enough for the next one, however slow the looks
# at the screen are.
land_a_pair() {
  press Return
  poll 5 not_title || fail "Return did not start a game"
  local empty
  empty=$(bottom_cell)
  xdotool keydown Down
  sleep 1.5
  xdotool keyup Down
  poll 10 changed_from "$empty" bottom_cell || fail "the pair did not land"
}

# Escape ends the game. One pressed while a landing still resolves is not
# read (by design): then it is pressed again.
quit() {
  local _
  for _ in 1 2 3; do
    press Escape
    ! poll 3 game_gone || break
  done
  expect_exit_0
}

start_x 640 480
start_game SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO"
poll 5 title_showing 96 104 96 180 || fail "no title screen"
land_a_pair
poll 5 landing_written || fail "the landing wave was not written to the audio output"
quit

start_x 640 480
rm -f "$AUDIO"
start_game SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO"
poll 5 title_showing 96 104 96 180 || fail "no title screen"
press s
sleep 0.3
land_a_pair
sleep 0.5
quit
[ ! -s "$AUDIO" ] || fail "sound was written with the sound switched off"
[ "$(settings_words)" = "86 65 0 0 0 0 1 0 1" ] || fail "settings $(settings_words), sound not off"
echo "ok"
