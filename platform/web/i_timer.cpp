// SPDX-License-Identifier: GPL-3.0-or-later
// Window timers on the page's millisecond clock; the event loop takes them.
#include "platform/web/web.h"

#include "platform/timers.h"

void PlatformSetTimer(Window window, uint32_t id, uint32_t milliseconds) {
    TimerSet(window, id, milliseconds, Now());
}

void PlatformKillTimer(Window window, uint32_t id) {
    TimerKill(window, id);
}

void PlatformTimerSleep(Window window, uint32_t id, int32_t ticks) {
    TimerSleep(window, id, ticks, Now());
}
