// SPDX-License-Identifier: GPL-3.0-or-later
// The headless backend: one window of a chosen size that is never shown, no
// clock of its own (the driver delivers every event itself, or runs the
// timers on a clock it sets), sound requests recorded instead of played,
// and a driver's events for the next modal dialog.
#pragma once

#include "platform/platform.h"

void HeadlessSetWindowSize(int32_t width, int32_t height);

// An event for a modal loop: once nothing posted is waiting, the loop's
// wait for an event hands these out, oldest first (a script's answer to
// the next dialog). With none, the wait comes back empty-handed, which a
// dialog takes as CANCEL.
void HeadlessQueueModalEvent(const Event& event);

// Sound requests since the last call, oldest first: the wave's name, or
// "" for a stop. Returns how many were written (at most `max`).
struct HeadlessSound {
    char name[8];
};
int32_t HeadlessTakeSounds(HeadlessSound* sounds, int32_t max);

// Events posted to the window and not yet delivered.
bool HeadlessTakePosted(Event* event);

bool HeadlessQuitPosted();
// What the game last asked of PlatformKeepAwake.
bool HeadlessKeepsAwake();
// How many times a repaint of the window was asked for.
int32_t HeadlessInvalidateCount();
bool HeadlessTimerRunning();
// The status line the game last showed beside its picture.
const char* HeadlessStatus();
// Whether the game offers a replay or the game in progress to take
// elsewhere now.
bool HeadlessReplayOffered();
bool HeadlessGameOffered();

// A clock for a driver that runs the timers itself (through the loop's look,
// platform/loop.h): the time, in milliseconds, that setting a timer or
// putting it to sleep counts from. 0 until set.
void HeadlessSetClock(uint64_t now);

// Back to the state before the first window, for tests.
void HeadlessReset();
