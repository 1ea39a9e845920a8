// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/queue.h"

namespace {
constexpr int32_t QueueSize = 256;

struct QueueState {
    Message messages[QueueSize];
    int32_t head, count;
    bool quit;
    int32_t quitCode;
};
QueueState Queue;
} // namespace

void QueuePost(const Message& message) {
    if (Queue.count == QueueSize) return;
    Queue.messages[(Queue.head + Queue.count++) % QueueSize] = message;
}

bool QueueTake(Message* message) {
    if (Queue.count == 0) return false;
    *message = Queue.messages[Queue.head];
    Queue.head = (Queue.head + 1) % QueueSize;
    --Queue.count;
    return true;
}

int32_t QueueCount() { return Queue.count; }

void QueuePostQuit(int32_t exitCode) {
    Queue.quit = true;
    Queue.quitCode = exitCode;
}

bool QueueQuitPosted() { return Queue.quit; }
int32_t QueueQuitCode() { return Queue.quitCode; }

void QueueReset() { Queue = QueueState{}; }
