// SPDX-License-Identifier: GPL-3.0-or-later
// The event queue the backends share: events in the order they were posted
// (input and the game's own alike), and the quit, which once posted stays:
// every later wait for an event ends at once.
#pragma once

#include "platform/platform.h"

// How many events the queue holds: a burst of thousands of keys and
// moves (a machine that stalled while the player typed on) fits.
constexpr int32_t QueueSize = 8192;
// Kept for the events of the game and the system (a close, a new size)
// however much input is waiting: a backend takes input from its system only
// while QueueRoomForInput(), leaving the rest in the system's own queue.
constexpr int32_t QueueKeptForTheGame = 64;

// Posts an event. A full queue makes room by dropping its oldest pen move
// (a move right after another of the same pen takes that one's place);
// only a queue full of events that are not moves loses the new one, which
// a backend that heeds QueueRoomForInput never lets happen.
void QueuePost(const Event& event);
bool QueueTake(Event* event);
int32_t QueueCount();
bool QueueRoomForInput();

void QueuePostQuit(int32_t exitCode);
bool QueueQuitPosted();
int32_t QueueQuitCode();

// Empty, with no quit posted: as at start-up, for tests.
void QueueReset();
