#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# One vantle-sim script played on the handhelds' screens (landscape and, where
# the device turns, portrait) gives the same state lines and the same pictures,
# byte for byte, on every architecture the game is built for: their digests
# are kept in handhelds.sha256, made on amd64, and checked by every build,
# the cross builds under qemu-user among them. With --update the file is
# written afresh from this build (after a deliberate change of a picture).
# Usage: same-game.sh VANTLE_SIM [--update]
set -eu
sim=${1:?usage: $0 VANTLE_SIM [--update]}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sizes="480x320 320x480 640x480 480x640 720x720 1280x720 720x1280 1280x800 800x1280"
for size in $sizes; do
  mkdir "$work/$size"
  (cd "$work/$size" && "$sim" --window "$size" --settings "$work/$size/vantle.dat" \
    "$here/handhelds.sim" >states.json) || { echo "FAIL: vantle-sim at $size"; exit 1; }
  # The order of the cues' recording is part of the state; the tick count too.
  (cd "$work/$size" && for f in states.json title.png start.png moved.png landed.png paused.png; do
    printf '%s  %s/%s\n' "$(sha256sum <"$f" | cut -d' ' -f1)" "$size" "$f"
  done) >>"$work/digests"
done

if [ "${2:-}" = --update ]; then
  cp "$work/digests" "$here/handhelds.sha256"
  echo "wrote $here/handhelds.sha256"
  exit 0
fi
if ! diff "$here/handhelds.sha256" "$work/digests"; then
  echo "FAIL: the game differs from amd64's on the lines above (< amd64, > this build)"
  exit 1
fi
echo "ok: $(wc -l <"$work/digests") states and pictures on $(echo $sizes | wc -w) screens, as on amd64"
