// SPDX-License-Identifier: GPL-3.0-or-later
// What the backends with a real window and clock (the desktop's and the
// browser's) share: the one window's bookkeeping (its procedure while it
// lives, the repaint it wants, the size the game laid itself out for), the
// events on the shared queue, and the pixel buffers of their presents.
// Each adds its own system's window, events and waiting.
#pragma once

#include "platform/platform.h"

// The one window's handle.
constexpr Window OnlyWindow = 1;

struct WindowState {
    WindowProcedure procedure;
    bool alive, destroying;
    bool invalid;                      // a repaint is wanted
    bool redrawAll;                    // the screen lost what was on it
    int32_t layoutWidth, layoutHeight; // real pixels the game laid itself out for
    bool smallIcon;
    int32_t invalidations; // how many times a repaint was asked for
    bool waiting;          // the loop waits for its system, between events
};
extern WindowState TheWindow;

// The window exists, laid out for width x height: sends it the create
// event. False, with the window destroyed again, when the game refuses.
bool WindowCreated(WindowProcedure procedure, int32_t width, int32_t height);
// The window procedure while the window lives, else nullptr.
WindowProcedure WindowProcedureIfAlive();
// Takes the repaint request if the window has one.
bool WindowTakePaint();
// The screen lost its picture (uncovered, or resized): all of it is shown
// anew at the next repaint, which is asked for.
void WindowExposed();
// The ticks the loop slept through until `now` run first when the window is
// told something outside the loop (a browser page hidden, the display
// lost), as they would have run before it, if the loop is waiting between
// events (not in a tick).
void WindowRunSleptTicks(uint64_t now);
// Sends the destroy event once and stops the window's timers; false when
// the window was not alive (or is being destroyed already).
bool WindowDestroy(Window window);

// Pixels kept between presents, reallocated only when their size changes.
struct PixelBuffer {
    uint32_t* pixels;
    int32_t width, height;
};
// False (and empty) when the storage cannot be had.
bool ReservePixels(PixelBuffer* buffer, int32_t width, int32_t height);
void FreePixels(PixelBuffer* buffer);
