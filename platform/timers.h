// SPDX-License-Identifier: GPL-3.0-or-later
// Window timers, as a message loop sees them: a timer falls due at its
// deadline, and the loop takes it when nothing else is waiting. A due timer
// is one message however late it is taken, so ticks never pile up. Times
// are milliseconds of the backend's own clock.
#pragma once

#include "platform/platform.h"

// When a timer that fell due at `deadline` and is taken at `now` falls due
// next: one interval on, keeping the cadence, unless that time has passed
// already (a long tick), when the count starts afresh from `now`.
uint64_t NextTimerDeadline(uint64_t deadline, uint64_t now, uint32_t interval);

// Starts (or restarts: the count begins again) timer `id` of `window`.
void TimerSet(Window window, uint32_t id, uint32_t milliseconds, uint64_t now);
void TimerKill(Window window, uint32_t id);
void TimerKillAll(Window window);
// Takes a timer message if a timer is due at `now`.
bool TimerTake(uint64_t now, Message* message);
// Milliseconds from `now` until the next timer falls due; -1 with none.
int32_t TimerWait(uint64_t now);
// Whether any timer runs.
bool TimerRunning();
