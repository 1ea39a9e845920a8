// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/timers.h"

namespace {
constexpr int32_t MaxTimers = 4;
constexpr uint64_t Never = ~uint64_t{0};

struct Timer {
    bool running;
    Window window;
    uint32_t id;
    uint32_t interval;
    uint64_t deadline; // when the next tick falls due
    int32_t sleep;     // ticks from that one on to sleep through; -1 all
};

struct TimerState {
    Timer timers[MaxTimers];
    SteadyTime clock;
};
TimerState Timers;

Timer* FindTimer(Window window, uint32_t id) {
    for (Timer& t : Timers.timers)
        if (t.running && t.window == window && t.id == id) return &t;
    return nullptr;
}

// When the timer next wakes the loop: its first tick not slept through.
uint64_t WakeTime(const Timer& t) {
    if (t.sleep < 0) return Never;
    return t.deadline + uint64_t{t.interval} * static_cast<uint32_t>(t.sleep);
}

// The running timer that wakes the loop first, or nullptr.
Timer* FirstDue() {
    Timer* first = nullptr;
    for (Timer& t : Timers.timers)
        if (t.running && WakeTime(t) != Never &&
            (first == nullptr || WakeTime(t) < WakeTime(*first)))
            first = &t;
    return first;
}

// How many of the timer's ticks from its deadline on have fallen due by
// `now`, at most `limit`.
int32_t TicksDue(const Timer& t, uint64_t now, int32_t limit) {
    if (t.deadline > now || limit <= 0) return 0;
    const uint64_t due = (now - t.deadline) / t.interval + 1;
    return due < static_cast<uint64_t>(limit) ? static_cast<int32_t>(due) : limit;
}
} // namespace

uint64_t SteadyNow(SteadyTime* clock, uint64_t raw) {
    if (!clock->read) {
        clock->read = true;
        clock->lastRaw = raw;
    }
    // A reading behind the last one (read as a signed difference, so that a
    // clock that wrapped below zero counts as behind): the time stands.
    const auto step = static_cast<int64_t>(raw - clock->lastRaw);
    if (step < 0) clock->gap += clock->lastRaw - raw;
    clock->lastRaw = raw;
    return raw + clock->gap;
}

uint64_t SteadyClock(uint64_t raw) { return SteadyNow(&Timers.clock, raw); }

uint64_t NextTimerDeadline(uint64_t deadline, uint64_t now, uint32_t interval) {
    const uint64_t next = deadline + interval;
    return next > now ? next : now + interval;
}

void TimerSet(Window window, uint32_t id, uint32_t milliseconds, uint64_t now) {
    if (milliseconds == 0) milliseconds = 1;
    Timer* t = FindTimer(window, id);
    for (int32_t i = 0; t == nullptr && i < MaxTimers; ++i)
        if (!Timers.timers[i].running) t = &Timers.timers[i];
    if (t == nullptr) return;
    *t = Timer{true, window, id, milliseconds, now + milliseconds, 0};
}

void TimerKill(Window window, uint32_t id) {
    if (Timer* t = FindTimer(window, id)) t->running = false;
}

void TimerKillAll(Window window) {
    for (Timer& t : Timers.timers)
        if (t.window == window) t.running = false;
}

bool TimerTake(uint64_t now, Event* event) {
    Timer* t = FirstDue();
    if (t == nullptr) return false;
    const uint64_t wake = WakeTime(*t);
    if (wake > now) return false;
    const int32_t slept = t->sleep;
    t->sleep = 0;
    t->deadline = NextTimerDeadline(wake, now, t->interval);
    *event = TimerEvent(t->id, slept);
    return true;
}

int32_t TimerWait(uint64_t now) {
    const Timer* t = FirstDue();
    if (t == nullptr) return -1;
    const uint64_t wake = WakeTime(*t);
    if (wake <= now) return 0;
    const uint64_t wait = wake - now;
    return wait > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(wait);
}

bool TimerRunning() {
    for (const Timer& t : Timers.timers)
        if (t.running) return true;
    return false;
}

void TimerSleep(Window window, uint32_t id, int32_t ticks, uint64_t now) {
    Timer* t = FindTimer(window, id);
    if (t == nullptr) return;
    // A tick that ran long, past the time the next was due: that one is
    // taken at once, late, as the loop always takes a late tick, and the
    // sleep is asked for again after it.
    t->sleep = t->deadline <= now ? 0 : (ticks < 0 ? -1 : ticks);
}

bool TimerWake(uint64_t now, Event* event) {
    for (Timer& t : Timers.timers) {
        if (!t.running || t.sleep == 0) continue;
        // Only ticks whose time came before `now`: an event that came at
        // the very moment a tick fell due is handed out before that tick,
        // as it is when the loop wakes for every tick. And never more than
        // the ticks slept through: the one after them is TimerTake's, due
        // at its own time.
        const int32_t due =
            now == 0 ? 0 : TicksDue(t, now - 1, t.sleep < 0 ? MaxTicksAtOnce : t.sleep);
        if (due == 0) continue;
        t.deadline += uint64_t{t.interval} * static_cast<uint32_t>(due);
        // Ticks beyond the most run at once are not run: the next comes at
        // its time from now.
        if (t.sleep < 0 && t.deadline + t.interval <= now)
            t.deadline = NextTimerDeadline(t.deadline, now, t.interval) - t.interval;
        if (t.sleep > 0) t.sleep -= due;
        *event = TimerEvent(t.id, due - 1);
        return true;
    }
    for (Timer& t : Timers.timers) t.sleep = 0;
    return false;
}
