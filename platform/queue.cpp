// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/queue.h"

namespace {
struct QueueState {
    Event events[QueueSize];
    int32_t head, count;
    bool quit;
    int32_t quitCode;
};
QueueState Queue;

Event& At(int32_t i) { return Queue.events[(Queue.head + i) % QueueSize]; }

// Makes room in a full queue without losing what cannot be lost: the
// oldest pen move goes (the moves after it, or the pen going up, say where
// the pen is). False when there is none.
bool DropOldestMove() {
    for (int32_t i = 0; i < Queue.count; ++i) {
        if (At(i).kind != EVENT_PEN_MOVE) continue;
        for (int32_t j = i; j + 1 < Queue.count; ++j) At(j) = At(j + 1);
        --Queue.count;
        return true;
    }
    return false;
}
} // namespace

void QueuePost(const Event& event) {
    if (Queue.count == QueueSize) {
        // A move of the pen after another of the same pen takes its place.
        const Event& last = At(Queue.count - 1);
        if (event.kind == EVENT_PEN_MOVE && last.kind == EVENT_PEN_MOVE &&
            last.finger == event.finger) {
            At(Queue.count - 1) = event;
            return;
        }
        if (!DropOldestMove()) return;
    }
    At(Queue.count++) = event;
}

bool QueueTake(Event* event) {
    if (Queue.count == 0) return false;
    *event = Queue.events[Queue.head];
    Queue.head = (Queue.head + 1) % QueueSize;
    --Queue.count;
    return true;
}

int32_t QueueCount() { return Queue.count; }

bool QueueRoomForInput() { return Queue.count < QueueSize - QueueKeptForTheGame; }

void QueuePostQuit(int32_t exitCode) {
    Queue.quit = true;
    Queue.quitCode = exitCode;
}

bool QueueQuitPosted() { return Queue.quit; }
int32_t QueueQuitCode() { return Queue.quitCode; }

void QueueReset() { Queue = QueueState{}; }
