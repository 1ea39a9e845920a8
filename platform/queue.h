// SPDX-License-Identifier: GPL-3.0-or-later
// The message queue the backends share: messages in the order they were
// posted (input and the game's own alike), and the quit message, which once
// posted stays: every later wait for a message ends at once.
#pragma once

#include "platform/platform.h"

// A full queue loses the message, as a window system's does.
void QueuePost(const Message& message);
bool QueueTake(Message* message);
int32_t QueueCount();

void QueuePostQuit(int32_t exitCode);
bool QueueQuitPosted();
int32_t QueueQuitCode();

// Empty, with no quit posted: as at start-up, for tests.
void QueueReset();
