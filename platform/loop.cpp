// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/loop.h"

#include "platform/queue.h"
#include "platform/timers.h"

bool LoopLook(uint64_t now, Window window, PaintWanted paintWanted, Message* message,
              int32_t* wait) {
    if (QueueCount() > 0) {
        if (TimerWake(now, message)) return true;
        return QueueTake(message);
    }
    if (paintWanted != nullptr && paintWanted()) {
        *message = Message{window, MSG_PAINT, 0, 0};
        return true;
    }
    if (TimerTake(now, message)) return true;
    *wait = TimerWait(now);
    return false;
}
