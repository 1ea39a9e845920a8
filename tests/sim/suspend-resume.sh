#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A game suspended mid-play and resumed by a second run is the same game as
# one that ran on without a break and pressed Space at that tick: the second
# run's states equal the uninterrupted run's, all keys but "tick" and
# "cues", as both go on with the same input. Suspended at several moments:
# in a pair's fall, right after a new pair, with a scoring message showing,
# already paused. Then the --game option and what `suspend` writes.
# Usage: suspend-resume.sh VANTLE_SIM
set -eu
sim=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The start of every game: a game started with Enter on title tick 5.
start='tick 6
down 13
tick
up 13'
# A press of a key, held over a tick and let go over the next.
press() { printf 'down %s\ntick\nup %s\ntick\n' "$1" "$1"; }
# Two pairs dropped with Down held, moved apart first.
drops="$(press 37)
down 40
tick 30
up 40
tick 8
$(press 39)
$(press 39)
down 40
tick 30
up 40"
# A scoring pass: four up arrows down column 0.
scoring="cell 0 12 1
cell 0 11 1
pair 1 1
$(press 37)
$(press 37)
$(press 37)
down 40
tick 14
up 40
tick 14"
# What both runs do after the break: Space to go on, then play.
after="state
tick 3
state
$(press 32)
state
$(press 37)
down 40
tick 40
up 40
state
tick 25
state
$(press 38)
$(press 39)
down 40
tick 60
up 40
state"

strip() { sed -E 's/"tick":[0-9]+,//; s/"cues":\[[^]]*\],//' "$1"; }

check() { # NAME PREFIX
  local name=$1 prefix=$2 dir=$work/$1
  mkdir -p "$dir/break" "$dir/whole"
  printf '%s\nsuspend\nstate\n' "$prefix" >"$dir/first.sim"
  code=0
  "$sim" --settings "$dir/break/vantle.dat" "$dir/first.sim" >"$dir/first.out" || code=$?
  [ "$code" -eq 0 ] || fail "$name: suspend exits $code, not 0"
  [ ! -s "$dir/first.out" ] || fail "$name: the script went on after suspend"
  [ "$(stat -c %s "$dir/break/vantle.dat")" -eq 36 ] || fail "$name: no settings file written"
  [ "$(stat -c %s "$dir/break/vantle.sav")" -eq 338 ] || fail "$name: no saved game beside the settings"
  printf 'tick\n%s\n' "$after" >"$dir/second.sim"
  "$sim" --settings "$dir/break/vantle.dat" "$dir/second.sim" >"$dir/second.out"
  printf '%s\ndown 32\ntick\nup 32\ntick\n%s\n' "$prefix" "$after" >"$dir/whole.sim"
  "$sim" --settings "$dir/whole/vantle.dat" "$dir/whole.sim" >"$dir/whole.out"
  [ "$(wc -l <"$dir/whole.out")" -eq 6 ] || fail "$name: the uninterrupted run wrote no states"
  if ! diff <(strip "$dir/second.out") <(strip "$dir/whole.out") >"$dir/diff"; then
    cat "$dir/diff"
    fail "$name: the resumed game differs from the uninterrupted one"
  fi
  grep -q '"fallStep":0' <(head -n 1 "$dir/second.out") || fail "$name: the resumed game is not paused"
  grep -q '"buttons":\[0,[0-9-]*,1,' <(head -n 1 "$dir/second.out") || fail "$name: the PAUSE bar is dark"
}

check mid-fall "$start
$(press 37)
tick 7"
check new-pair "$start
$drops
tick 5"
check message "$start
$scoring
tick 3"
check sound-off-and-moved "$start
$(press 83)
$drops
$(press 39)
tick 11"

# Paused already: the game comes back as it was, and Space goes on.
dir=$work/paused
mkdir -p "$dir"
printf '%s\n%s\ntick 2\nsuspend\n' "$start" "$(press 32)" >"$dir/first.sim"
"$sim" --settings "$dir/vantle.dat" "$dir/first.sim"
printf 'state\ntick 40\nstate\n%s\ntick 30\nstate\n' "$(press 32)" >"$dir/second.sim"
"$sim" --settings "$dir/vantle.dat" "$dir/second.sim" >"$dir/out"
sed -n 1p "$dir/out" | grep -q '"mode":1,.*"pair":\[3,0,.*"fallStep":0' || fail "paused: $(sed -n 1p "$dir/out")"
sed -n 2p "$dir/out" | grep -q '"pair":\[3,0,' || fail "paused: the pair fell while paused"
sed -n 3p "$dir/out" | grep -q '"pair":\[3,1,.*"fallStep":1' || fail "paused: Space did not go on"

# --game names the saved game; the default place is beside the settings.
dir=$work/option
mkdir -p "$dir"
printf '%s\ntick 3\nsuspend\n' "$start" | "$sim" --settings "$dir/vantle.dat" --game "$dir/other.sav"
[ -s "$dir/other.sav" ] && [ ! -e "$dir/vantle.sav" ] || fail "--game: the game not written where it says"
printf 'state\n' | "$sim" --settings "$dir/vantle.dat" >"$dir/out"
grep -q '"mode":0' "$dir/out" || fail "--game: a game found where none was written"
printf 'state\n' | "$sim" --settings "$dir/vantle.dat" --game "$dir/other.sav" >"$dir/out"
grep -q '"mode":1' "$dir/out" || fail "--game: the game given is not resumed"
code=0
"$sim" --settings "$dir/vantle.dat" --game "$dir" </dev/null 2>"$dir/err" || code=$?
[ "$code" -eq 2 ] && grep -q "is not a regular file" "$dir/err" || fail "--game FOLDER: exit $code"
code=0
"$sim" --game </dev/null 2>/dev/null || code=$?
[ "$code" -eq 2 ] || fail "--game without a path: exit $code"
# Escape in play throws the game away; the next run shows the title.
printf 'tick 10\ndown 27\ntick\nup 27\n' | "$sim" --settings "$dir/vantle.dat" --game "$dir/other.sav"
[ ! -e "$dir/other.sav" ] || fail "Escape in play left the saved game"
# Suspended on the title, no game is written.
printf 'tick 3\nsuspend\n' | "$sim" --settings "$dir/vantle.dat" --game "$dir/other.sav"
[ ! -e "$dir/other.sav" ] || fail "a game written from the title"
echo "ok"
