#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Minimised during play (by a window manager, twm, and as a compositing
# desktop does it, marking the window hidden), and unmapped outright, the
# game pauses (the PAUSE bar lights, the pair stays where it was) and goes
# on when the player presses Space.
set -eu
. "$(dirname "$0")/lib.sh"

for tool in xprop xwininfo twm; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (tools/setup-deps test installs it)"
    exit 77
  fi
done

# Landscape 640 x 480 at scale 2: the well from window (88, 8), the PAUSE bar
# at logical (210, 160), 48 x 16.
well() { region 88 8 224 416; }
pause_bar() { region 420 320 96 32; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }
# The well and the PAUSE bar the same in two screenshots 0.3 s apart, and
# the well not black (as a window not yet repainted is).
standing() {
  local a b
  a="$(well) $(pause_bar)"
  sleep 0.3
  b="$(well) $(pause_bar)"
  [ "$a" = "$b" ] || return 1
  pixels 88 8 224 416 | grep -qv '^#000000$'
}
unmapped() { xwininfo -id "$window" | grep -q 'Map State: IsUnMapped'; }
viewable() { xwininfo -id "$window" | grep -q 'Map State: IsViewable'; }

# A compositing desktop minimises a window by marking it hidden, leaving it
# mapped: done here by hand, as that desktop would.
mark_hidden() { xprop -id "$window" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN; }
unmark_hidden() { xprop -id "$window" -remove _NET_WM_STATE; }
unmap() {
  xdotool windowunmap "$window"
  poll 3 unmapped || fail "the window is still mapped"
}
map() {
  xdotool windowmap "$window"
  poll 3 viewable || fail "the window did not come back"
  # The keyboard's focus went with the window; a window manager gives it back.
  xdotool windowfocus "$window"
}

# Hides the window one way, shows it again after longer than the pair takes
# to fall a row, and checks the game paused meanwhile.
check_paused_by() {
  local how=$1 hide=$2 show=$3
  local bar_before
  bar_before=$(pause_bar)
  "$hide"
  sleep 2
  "$show"
  # Shown again, the window is repainted: wait for a picture that stands.
  poll 5 standing || fail "$how: the picture did not settle after the window came back"
  [ "$(pause_bar)" != "$bar_before" ] || fail "$how: the PAUSE bar is not lit"
  local still
  still=$(well)
  sleep 2
  [ "$(well)" = "$still" ] || fail "$how: the pair moves on after the window came back"
  kill -0 "$GAME_PID" || fail "$how: the game ended"
  press space
  poll 4 changed_from "$still" well || fail "$how: Space did not resume the game"
}

# Starts the game and a game in it.
start_play() {
  start_game
  poll 5 title_showing 96 104 96 180 || fail "no title screen"
  window=$(xdotool search --name '^vantle$' | head -n 1)
  local title_well
  title_well=$(well)
  press Return
  poll 3 changed_from "$title_well" well || fail "Enter did not start a game"
  sleep 0.3
}

# Without a window manager: marked hidden, as a compositing desktop
# minimises, and unmapped outright.
start_x 640 480
start_play
check_paused_by "marked hidden" mark_hidden unmark_hidden
check_paused_by unmapped unmap map
press Escape
expect_exit_0

# Under a window manager, which manages the window from the start (no title
# bar, no border, where the game put it), minimised by it. Under one, the
# window is not unmapped by hand: a window manager reparents a window it
# sees unmapped, and SDL takes an unmap followed by a reparent for part of
# the reparenting, not for hiding.
start_x 640 480
printf '%s\n' NoTitle RandomPlacement 'UsePPosition "on"' 'BorderWidth 0' 'TitleFont "fixed"' \
  'ResizeFont "fixed"' 'MenuFont "fixed"' 'IconFont "fixed"' 'IconManagerFont "fixed"' >"$WORK/twmrc"
LC_ALL=C twm -display "$DISPLAY" -f "$WORK/twmrc" >"$WORK/twm.log" 2>&1 &
sleep 0.5
minimise() {
  xdotool windowminimize "$window"
  poll 3 unmapped || fail "twm did not minimise the window: $(cat "$WORK/twm.log")"
}
start_play
check_paused_by minimised minimise map
press Escape
expect_exit_0
echo "ok"
