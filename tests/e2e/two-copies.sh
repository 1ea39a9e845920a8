#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two copies of the game at once never destroy each other's game: a second
# copy started while the first plays says so, starts on the title and keeps
# no game of its own, so its quit leaves the first one's kept game alone;
# the first, killed afterwards, comes back where it was.
set -eu
. "$(dirname "$0")/lib.sh"

GAMEFILE() { echo "$XDG_DATA_HOME/vantle/vantle.sav"; }
windows() { xdotool search --name '^vantle$' 2>/dev/null | wc -l; }
two_windows() { [ "$(windows)" -ge 2 ]; }

start_x 640 480
start_game
poll 5 title_showing 96 104 96 180 || fail "no title screen"
FIRST=$GAME_PID
press Return
sleep 0.3
press space # paused: the game is kept
poll 5 test -s "$(GAMEFILE)" || fail "the first copy keeps no game"
cp "$(GAMEFILE)" "$WORK/first.sav"

# The second copy, over the first: keys go to it.
"$GAME" >"$WORK/second.log" 2>&1 &
SECOND=$!
poll 10 two_windows || fail "the second copy shows no window"
poll 5 title_showing 96 104 96 180 || fail "the second copy does not start on the title"
grep -q "another copy of vantle is running" "$WORK/second.log" ||
  fail "the second copy does not say another is running: $(cat "$WORK/second.log")"
press Return # a game of its own...
sleep 0.5
press Escape # ...quit at once
sleep 0.3
press Escape # and the title left
code=0
for _ in $(seq 50); do kill -0 "$SECOND" 2>/dev/null || break; sleep 0.1; done
kill -0 "$SECOND" 2>/dev/null && fail "the second copy did not end"
wait "$SECOND" || code=$?
[ "$code" -eq 0 ] || fail "the second copy exited with $code"
cmp -s "$(GAMEFILE)" "$WORK/first.sav" || fail "the second copy changed or removed the first one's kept game"

# The first copy, killed, comes back to its game.
kill -KILL "$FIRST"
wait "$FIRST" 2>/dev/null || true
GAME_PID=""
start_game
sleep 1
title_showing 96 104 96 180 && fail "the first copy's game is lost: the title shows"
[ -s "$(GAMEFILE)" ] || fail "no kept game"
echo "ok: the second copy kept nothing and left the first one's game alone"
