// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/loop.h"

#include "platform/queue.h"
#include "platform/timers.h"

bool LoopLook(uint64_t now, PaintWanted paintWanted, Event* event, int32_t* wait) {
    if (QueueCount() > 0) {
        if (TimerWake(now, event)) return true;
        return QueueTake(event);
    }
    if (paintWanted != nullptr && paintWanted()) {
        *event = MakeEvent(EVENT_PAINT);
        return true;
    }
    if (TimerTake(now, event)) return true;
    *wait = TimerWait(now);
    return false;
}
