// SPDX-License-Identifier: GPL-3.0-or-later
// What the files of the desktop backend share with each other (and with its
// tests, which call the translation of events directly): the one window,
// the event translation, the controllers, the sound output, the end of the
// program.
#pragma once

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "platform/pad.h"
#include "platform/platform.h"
#include "platform/window.h"

#include <cstddef>
#include <cstdint>

// The one window's handle.
constexpr Window DesktopWindow = OnlyWindow;

// --- i_system.cpp ---

// Starts an SDL subsystem once; SDL is shut down when the program exits.
// The first call also takes over the ending signals (SIGTERM, SIGHUP,
// SIGINT, SIGQUIT: each asks the window to close) and, once SDL shows its
// window through X, the loss of the X connection (the settings are saved
// and the program ends at once). A display that cannot be opened is
// reported on standard error.
bool StartSdl(uint32_t subsystem);
// Whether an ending signal has come.
bool EndRequested();
// The X window (by its id) whose destruction by another program ends the
// game as a lost display does: the settings and the game in progress are
// saved, a line says why, and the program ends with 1. 0 for none: then any
// request that fails for a window that is gone counts.
void WatchWindow(unsigned long xid);

// --- i_video.cpp ---

// The window was uncovered or changed its size: everything is shown anew.
void VideoWindowEvent(const SDL_WindowEvent& event);

// How pen positions are measured: mouse events come in the window's own
// units, which are not pixels on a high-DPI screen; positions go out in the
// real pixels of the size the game laid itself out for, through the place
// the picture has on the window now (see FitPicture).
struct PenScale {
    int32_t windowWidth, windowHeight; // in the units of mouse events
    int32_t pixelWidth, pixelHeight;   // the window now, in real pixels
    int32_t layoutWidth, layoutHeight; // the units of pen events
};
PenScale VideoPenScale();

// --- i_timer.cpp ---

// Milliseconds of the event loop's clock: SDL's, made steady (it never
// goes back, whatever the system's clock does).
uint64_t LoopNow();

// --- i_events.cpp ---

// The pen is one finger or the left mouse button, whichever went down first.
struct PenState {
    bool down;
    bool byTouch;
    SDL_FingerID finger;
};

// The game's event (or two: Alt+character also gives its character) that
// one of SDL's becomes; returns how many, 0 for those the game takes none of.
int32_t TranslateEvent(const SDL_Event& event, const PenScale& scale, PenState* pen, Event out[2]);

// Before the window is told of its end outside the loop (the display lost):
// the ticks the loop slept through until now run first, as they would have
// run before, if the loop is waiting between events (not in a tick).
void RunSleptTicks();

// --- i_keys.cpp ---

// The old platform's virtual-key code of a key (see platform/keys.h): from
// its place on the keyboard, what the layout types there and Num Lock.
// Never 0: a key without an old code has one of its own above 0xFF.
uint32_t VirtualKeyOf(SDL_Scancode scancode, SDL_Keycode key, uint16_t modifiers);

// --- i_gamepad.cpp ---

// The key events one controller event gives (see platform/pad.h); 0 for
// events that change no key.
int32_t TranslatePadEvent(const SDL_Event& event, PadState* pad, Event out[PadMaxEvents]);

// Opens a controller when it is plugged in (and those present at start,
// which SDL announces the same way) and closes it when it goes.
void PadDeviceEvent(const SDL_Event& event);

// Starts SDL's controller support; with no controller it costs nothing.
void PadStart();

// --- i_sound.cpp ---

// Makes what the sound's threads share; before any thread may call the
// functions below.
void SoundPrepare();
// A cue being played ends its wait now, and so does every later one: the
// program is ending. Any thread may call it.
void SoundInterrupt();
// At exit: closes the sound output if that can be done at once. False when
// the output is held by a sound server that does not answer, in which case
// SDL's audio must be left alone.
bool SoundShutdown();
