// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/timers.h"

namespace {
constexpr int32_t MaxTimers = 4;

struct Timer {
    bool running;
    Window window;
    uint32_t id;
    uint32_t interval;
    uint64_t deadline;
};

struct TimerState {
    Timer timers[MaxTimers];
};
TimerState Timers;

Timer* FindTimer(Window window, uint32_t id) {
    for (Timer& t : Timers.timers)
        if (t.running && t.window == window && t.id == id) return &t;
    return nullptr;
}

// The running timer due first, or nullptr.
Timer* FirstDue() {
    Timer* first = nullptr;
    for (Timer& t : Timers.timers)
        if (t.running && (first == nullptr || t.deadline < first->deadline)) first = &t;
    return first;
}
} // namespace

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
    *t = Timer{true, window, id, milliseconds, now + milliseconds};
}

void TimerKill(Window window, uint32_t id) {
    if (Timer* t = FindTimer(window, id)) t->running = false;
}

void TimerKillAll(Window window) {
    for (Timer& t : Timers.timers)
        if (t.window == window) t.running = false;
}

bool TimerTake(uint64_t now, Message* message) {
    Timer* t = FirstDue();
    if (t == nullptr || t->deadline > now) return false;
    t->deadline = NextTimerDeadline(t->deadline, now, t->interval);
    *message = Message{t->window, MSG_TIMER, t->id, 0};
    return true;
}

int32_t TimerWait(uint64_t now) {
    const Timer* t = FirstDue();
    if (t == nullptr) return -1;
    if (t->deadline <= now) return 0;
    const uint64_t wait = t->deadline - now;
    return wait > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(wait);
}

bool TimerRunning() { return FirstDue() != nullptr; }
