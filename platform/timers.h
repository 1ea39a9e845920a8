// SPDX-License-Identifier: GPL-3.0-or-later
// Window timers, as an event loop sees them: a timer falls due at its
// deadline, and the loop takes it when nothing else is waiting. A due timer
// is one event however late it is taken, so ticks never pile up. Times
// are milliseconds of the backend's own clock.
//
// A timer may sleep through ticks its window has said it needs none of
// (TimerSleep): the loop then waits past them. Those ticks are not lost but
// handed out late, all in one event whose `slept` says how many ticks it
// stands for besides its own, when the tick after them falls due or when
// any other event is to be handed out first (which ends the sleep).
#pragma once

#include "platform/platform.h"

// A clock made steady: `raw` (a clock's milliseconds) as a time that never
// goes back. A clock set back (or one that wrapped round below its start)
// stands still until it catches up with itself, rather than putting every
// wait an age ahead; a leap forward is time that passed. Each thread that
// reads a clock keeps its own SteadyTime.
struct SteadyTime {
    bool read;        // a raw reading has been seen
    uint64_t lastRaw; // the last raw reading
    uint64_t gap;     // how far the steady time runs ahead of the raw one
};
uint64_t SteadyNow(SteadyTime* clock, uint64_t raw);
// The event loop's own (the timers count on it).
uint64_t SteadyClock(uint64_t raw);

// The most ticks a timer hands out late at once, in one event: the loop
// sleeps through a waiting title or a pause for as long as it likes, but a
// clock that leaps ahead by years must not keep the game running idle ticks
// for seconds (12 ns each: this many take about 12 ms). Past them the
// ticks are not run.
constexpr int32_t MaxTicksAtOnce = 1 << 20;

// When a timer that fell due at `deadline` and is taken at `now` falls due
// next: one interval on, keeping the cadence, unless that time has passed
// already (a long tick), when the count starts afresh from `now`.
uint64_t NextTimerDeadline(uint64_t deadline, uint64_t now, uint32_t interval);

// Starts (or restarts: the count begins again, awake) timer `id` of `window`.
void TimerSet(Window window, uint32_t id, uint32_t milliseconds, uint64_t now);
void TimerKill(Window window, uint32_t id);
void TimerKillAll(Window window);
// Takes a timer's event if a timer is due at `now`, with the ticks it slept
// through before it (`slept`: how many).
bool TimerTake(uint64_t now, Event* event);
// Milliseconds from `now` until the next timer falls due, past the ticks
// timers sleep through; -1 with none.
int32_t TimerWait(uint64_t now);
// Whether any timer runs.
bool TimerRunning();

// Timer `id` of `window` sleeps through its next `ticks` ticks (-1: all of
// them), counted from the next one; not at all when that one is due by
// `now` already (a tick that ran long): it is taken late, as any late tick.
void TimerSleep(Window window, uint32_t id, int32_t ticks, uint64_t now);
// Before any other event is handed out: the ticks slept through whose
// time came before `now`, as one timer event (`slept`: how many besides
// the last). None left, it ends every timer's sleep, so that the next tick
// comes at its time, and returns false.
bool TimerWake(uint64_t now, Event* event);
