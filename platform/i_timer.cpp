// Window timers, as the message loop sees them: a timer falls due at its
// deadline, and the loop takes it when nothing else is waiting. A due timer
// is one message however late it is taken, so ticks never pile up.
#include "platform/sdl_internal.h"

namespace {
constexpr int32_t MaxTimers = 4;

struct Timer {
    bool running;
    Window window;
    uint32_t id;
    uint32_t interval;
    uint64_t deadline; // SDL ticks, milliseconds
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

void TimerKillAll(Window window) {
    for (Timer& t : Timers.timers)
        if (t.window == window) t.running = false;
}

void PlatformSetTimer(Window window, uint32_t id, uint32_t milliseconds) {
    if (milliseconds == 0) milliseconds = 1;
    Timer* t = FindTimer(window, id);
    for (int32_t i = 0; t == nullptr && i < MaxTimers; ++i)
        if (!Timers.timers[i].running) t = &Timers.timers[i];
    if (t == nullptr) return;
    // Setting a timer again restarts its count.
    *t = Timer{true, window, id, milliseconds, SDL_GetTicks64() + milliseconds};
}

void PlatformKillTimer(Window window, uint32_t id) {
    if (Timer* t = FindTimer(window, id)) t->running = false;
}
