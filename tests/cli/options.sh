#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# --help and --version answer on standard output with exit 0, open no
# window and touch no file; anything else on the command line is refused with
# one line and the usage on standard error, exit 2, and nothing starts; so
# is a replay or a game to watch or play on that is none.
# Usage: options.sh PROGRAM NAME VERSION
set -u
program=$1
name=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

# No display and an empty data folder: an answer that tried to start the
# game would fail on the display or leave a file behind.
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$work/data" HOME="$work/home" \
    SDL_VIDEODRIVER=none "$program" "$@" >"$work/out" 2>"$work/err"
  echo $? >"$work/rc"
}

for opt in --help -h; do
  run "$opt"
  [ "$(cat "$work/rc")" = 0 ] || fail "$name $opt: exit $(cat "$work/rc")"
  grep -q "^usage: $name " "$work/out" || fail "$name $opt: no usage on standard output"
  grep -q -- "--version" "$work/out" || fail "$name $opt: --version is not listed"
  [ -s "$work/err" ] && fail "$name $opt wrote to standard error: $(cat "$work/err")"
done

run --version
[ "$(cat "$work/rc")" = 0 ] || fail "$name --version: exit $(cat "$work/rc")"
[ "$(cat "$work/out")" = "$name $version" ] || fail "$name --version said '$(cat "$work/out")'"
[ -s "$work/err" ] && fail "$name --version wrote to standard error"

# A closed standard output is a failure, not a success.
env -u DISPLAY "$program" --version >&- 2>/dev/null
[ $? -ne 0 ] || fail "$name --version reported success with standard output closed"

for bad in --no-such-option -x --help=1; do
  run "$bad"
  [ "$(cat "$work/rc")" = 2 ] || fail "$name $bad: exit $(cat "$work/rc"), not 2"
  [ "$(head -n 1 "$work/err")" = "$name: unknown option $bad" ] ||
    fail "$name $bad: first line '$(head -n 1 "$work/err")'"
  grep -q "^usage: $name " "$work/err" || fail "$name $bad: no usage on standard error"
  [ -s "$work/out" ] && fail "$name $bad wrote to standard output"
done

# A known option beside an unknown one is refused too.
run --help --bogus
[ "$(cat "$work/rc")" = 2 ] || fail "$name --help --bogus: exit $(cat "$work/rc"), not 2"

if [ -e "$work/data" ] || [ -e "$work/home" ]; then
  fail "$name made files while answering: $(find "$work/data" "$work/home" 2>/dev/null | tr '\n' ' ')"
fi
# The replay options: what holds no replay or no game is refused before
# anything starts (exit 2), and --watch with no best game kept says so
# (exit 1); standard error names the fault.
expect() { # EXIT TEXT ARGUMENTS...
  code=$1
  text=$2
  shift 2
  run "$@"
  [ "$(cat "$work/rc")" = "$code" ] || fail "$name $*: exit $(cat "$work/rc"), not $code"
  grep -q -- "$text" "$work/err" || fail "$name $*: standard error does not say '$text': $(cat "$work/err")"
}
case $name in
  vantle)
    expect 1 "no best game" --watch
    expect 2 "nothing to watch" --watch "not a replay!"
    expect 2 "nothing to watch" --watch "$work"
    expect 2 "needs a file or a code" --game
    expect 2 "holds no game" --game AAAA
    expect 2 "one at a time" --watch AAAA --game AAAA
    ;;
  vantle-sim)
    expect 2 "needs a file" --replay
    expect 2 "not a regular file" --replay "$work"
    expect 2 "takes no script" --replay "$work/none.replay" "$work/none.sim"
    ;;
esac
[ "$failed" = 0 ] && echo "ok: $name answers --help and --version and refuses the rest"
exit "$failed"
