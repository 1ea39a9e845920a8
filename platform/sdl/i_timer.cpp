// SPDX-License-Identifier: GPL-3.0-or-later
// Window timers on SDL's millisecond clock; the message loop takes them.
#include "platform/sdl/desktop.h"

#include "platform/timers.h"

uint64_t LoopNow() { return SteadyClock(SDL_GetTicks64()); }

void PlatformSetTimer(Window window, uint32_t id, uint32_t milliseconds) {
    TimerSet(window, id, milliseconds, LoopNow());
}

void PlatformKillTimer(Window window, uint32_t id) { TimerKill(window, id); }

void PlatformTimerSleep(Window window, uint32_t id, int32_t ticks) {
    TimerSleep(window, id, ticks, LoopNow());
}
