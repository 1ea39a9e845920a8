#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the replays of this folder again from their scripts. The committed
# .replay files are what the tests play, as a player's old replays would be:
# they are made once, by the version of the time, and kept; the tests never
# make them again. Run this only to add a replay (or, knowingly, to replace
# one), and commit what it wrote.
#
#   short     a few pairs, still in play at the end
#   long      several minutes and a couple of hundred pairs (long.sim, written
#             by bot.py, which places each pair as a patient player would)
#   ten-minutes  ten minutes of a key pressed and let go every half second
#             (ten-minutes.sim, written by bot.py --half-second)
#   chain     a chain of two scoring passes, on a well set from outside
#   resumed   a kept game taken back by a second run (resumed-1.sim suspends,
#             resumed-2.sim goes on and writes the replay)
#   options   the Options dialog answered, pauses (by Space, and by the
#             window hidden after the run's 30th tick, which replay-keeper
#             does), the sound key
#   escape    ended by Escape in play: its vantle-last.replay, kept by
#             replay-keeper (built beside the tests) as the desktop game
#             keeps it
#   gameover  ended by game over, back to the title
#
# Usage: make.sh VANTLE_SIM REPLAY_KEEPER [NAME...]   (default: all; "long"
# writes long.sim first when it is missing, which needs python3)
set -eu
sim=$(realpath "${1:?usage: $0 VANTLE_SIM REPLAY_KEEPER [NAME...]}")
keeper=$(realpath "${2:?usage: $0 VANTLE_SIM REPLAY_KEEPER [NAME...]}")
shift 2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
names=${*:-short long ten-minutes chain resumed options escape gameover}
cd "$here"

for name in $names; do
  dir=$work/$name
  mkdir -p "$dir"
  case $name in
    resumed)
      "$sim" --settings "$dir/vantle.dat" resumed-1.sim
      [ -s "$dir/vantle.sav" ] || { echo "make.sh: resumed-1.sim kept no game" >&2; exit 1; }
      "$sim" --settings "$dir/vantle.dat" resumed-2.sim
      ;;
    options) "$keeper" "$dir/" options.sim 30 ;;
    escape)
      "$keeper" "$dir/" escape.sim
      cp "$dir/vantle-last.replay" escape.replay
      ;;
    long)
      [ -s long.sim ] || python3 bot.py "$sim" 5600 5 >long.sim
      { cat long.sim; echo "replay long.replay"; } | "$sim" --settings "$dir/vantle.dat"
      ;;
    *) "$sim" --settings "$dir/vantle.dat" "$name.sim" ;;
  esac
  # Each one plays to where it says.
  "$sim" --replay "$name.replay" >"$dir/end.json"
  echo "$name.replay: $(wc -c <"$name.replay") bytes, $(grep -o '"tick":[0-9]*' "$dir/end.json" | cut -d: -f2) ticks"
done
