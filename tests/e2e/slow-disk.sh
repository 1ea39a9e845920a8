#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Saving costs the game no time: on a disk whose syncs do not come back (a
# stand-in library holds every fsync while a flag file exists), a pause and
# a new pair still save, and the game plays on at its pace meanwhile; once
# the disk answers, everything asked is written, and a signal ends the game
# with its settings and game kept.
set -eu
. "$(dirname "$0")/lib.sh"
command -v cc >/dev/null 2>&1 || { echo "SKIP: no C compiler for the stand-in disk"; exit 77; }

GAMEFILE() { echo "$XDG_DATA_HOME/vantle/vantle.sav"; }
well() { region 80 0 240 480; }
changed_from() { [ "$("${@:2}")" != "$1" ]; }

cat >"$WORK/slow.c" <<'C'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>
static void hold(void) {
    const char* flag = getenv("SLOW_DISK_FLAG");
    while (flag && access(flag, F_OK) == 0) usleep(10000);
}
int fsync(int fd) {
    static int (*real)(int);
    if (!real) real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    hold();
    return real(fd);
}
int fdatasync(int fd) {
    static int (*real)(int);
    if (!real) real = (int (*)(int))dlsym(RTLD_NEXT, "fdatasync");
    hold();
    return real(fd);
}
C
cc -shared -fPIC -o "$WORK/slow.so" "$WORK/slow.c" -ldl || fail "the stand-in disk does not build"

start_x 640 480
start_game LD_PRELOAD="$WORK/slow.so" SLOW_DISK_FLAG="$WORK/held"
poll 5 title_showing 96 104 96 180 || fail "no title screen"
touch "$WORK/held" # from now on no sync comes back
press Return       # a checkpoint
sleep 0.3
press space # a pause: another
sleep 0.2  # let go over a tick: the next press is a new one
press space
before=$(well)
poll 5 changed_from "$before" well || fail "the game stood still while its saves waited for the disk"
sleep 1.6
changed_from "$before" well || fail "the pair did not fall on"
[ ! -e "$(GAMEFILE)" ] || fail "a save went through past a disk that does not answer"
rm -f "$WORK/held"
poll 5 test -s "$(GAMEFILE)" || fail "the waiting saves were not written once the disk answered"
kill -TERM "$GAME_PID"
expect_exit_0
[ -s "$(SETTINGS)" ] || fail "no settings saved at the end"
echo "ok: the game played on while its saves waited for the disk"
