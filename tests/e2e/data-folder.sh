#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Without a data folder the game plays but saves nothing, and says so once on
# standard error: the settings file never lands in the folder the game was
# started from, nor anywhere a relative home would lead.
set -eu
. "$(dirname "$0")/lib.sh"

# play_without_folder ENV...: starts the game from an empty folder with the
# given environment, quits with Escape, and checks that nothing was written.
play_without_folder() {
  start_x 640 480
  local here="$WORK/started-here"
  rm -rf "$here"
  mkdir -p "$here"
  cd "$here"
  start_game "$@"
  poll 5 title_showing 96 104 96 180 || fail "no title screen ($*)"
  press Escape
  expect_exit_0
  cd "$WORK"
  local written
  written=$(find "$here" "$HOME" -name 'vantle.dat*')
  [ -z "$written" ] || fail "settings saved without a data folder ($*): $written"
  [ "$(grep -c 'no data folder' "$WORK/game.log")" -eq 1 ] ||
    fail "expected one line about the missing data folder ($*), got: $(cat "$WORK/game.log")"
  [ "$(grep -c 'will not be saved' "$WORK/game.log")" -eq 1 ] || fail "the line does not say what it means"
}

# A data home that cannot be made (below a device, so root cannot either).
play_without_folder XDG_DATA_HOME=/dev/null/data
# No data home and a relative home, which would be taken from wherever the
# game was started.
play_without_folder -u XDG_DATA_HOME HOME=home
# No home at all.
play_without_folder -u XDG_DATA_HOME -u HOME
echo "ok"
