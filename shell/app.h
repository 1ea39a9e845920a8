// SPDX-License-Identifier: GPL-3.0-or-later
// The frame everything runs in: the one window, its procedure, the event
// loop and the 70 ms timer whose every tick advances the game one step.
#pragma once

#include "platform/platform.h"
#include "res/ids.h"

#include <cstdint>

constexpr uint32_t GameTimerId = 1;
constexpr uint32_t TickMilliseconds = 70;

extern Window MainWindow;

// Creates the window and runs the event loop; returns the exit code: 0
// when the game ends, 1 when no window could be made.
int32_t AppMain();
// 1 when the window exists (and the game is set up), else 0.
int32_t CreateMainWindow();
int32_t WindowProc(Window window, const Event& event);
// One tick of the game: input latched, the rules' step, the Options dialog
// if the tick asked for it, a repaint, and how long the loop may sleep.
void TimerTick(Window window);
// The ticks of a timer event: `slept` ticks the loop slept through (a
// negative count is none), then the one due.
void TimerTicks(Window window, int32_t slept);

// The window's size laid out afresh, landscape or portrait, and the game
// drawn again from its state; play goes on as it was. Nothing changes when
// the size has not.
void FitWindow(Window window);

// Gives the rules the drawing routines and the sound cues to report their
// changes to; the window's creation does it, and so may a test.
void ConnectGameReport();
// The same drawing without the cues (a replay played faster than the game).
void ConnectSilentReport();

// Reads accelerator table 3 (Alt+F4 and Alt+/); AppMain does, once.
void LoadAccelerators();
// Turns an Alt+F4 or Alt+/ key event into its command and sends it to the
// window; true when the event was taken.
bool TranslateAccelerator(const Event& event);
