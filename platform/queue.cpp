// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/queue.h"

namespace {
struct QueueState {
    Message messages[QueueSize];
    int32_t head, count;
    bool quit;
    int32_t quitCode;
};
QueueState Queue;

Message& At(int32_t i) { return Queue.messages[(Queue.head + i) % QueueSize]; }

int32_t PenFingerOf(const Message& m) { return PenFinger(m.wParam); }

// Makes room in a full queue without losing what cannot be lost: the
// oldest pen move goes (the moves after it, or the pen going up, say where
// the pen is). False when there is none.
bool DropOldestMove() {
    for (int32_t i = 0; i < Queue.count; ++i) {
        if (At(i).message != MSG_MOUSEMOVE) continue;
        for (int32_t j = i; j + 1 < Queue.count; ++j) At(j) = At(j + 1);
        --Queue.count;
        return true;
    }
    return false;
}
} // namespace

void QueuePost(const Message& message) {
    if (Queue.count == QueueSize) {
        // A move of the pen after another of the same pen takes its place.
        const Message& last = At(Queue.count - 1);
        if (message.message == MSG_MOUSEMOVE && last.message == MSG_MOUSEMOVE &&
            PenFingerOf(last) == PenFingerOf(message)) {
            At(Queue.count - 1) = message;
            return;
        }
        if (!DropOldestMove()) return;
    }
    At(Queue.count++) = message;
}

bool QueueTake(Message* message) {
    if (Queue.count == 0) return false;
    *message = Queue.messages[Queue.head];
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
