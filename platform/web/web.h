// SPDX-License-Identifier: GPL-3.0-or-later
// What the files of the browser backend share: the one window (the page's
// canvas), the event loop's wake-up, the saving of the data folder into
// the browser's storage, and the translation of the page's keys.
#pragma once

#include "platform/platform.h"
#include "platform/window.h"

#include <cstdint>

// The one window's handle.
constexpr Window WebWindow = OnlyWindow;

// --- i_video.cpp ---

// A pen position given as fractions of the canvas, in the pixels of the
// size the game laid itself out for.
void VideoPenPosition(double fx, double fy, int32_t* x, int32_t* y);

// --- i_events.cpp ---

// Starts listening to the page's keys, pointers, size and visibility.
void EventsListen();
// Milliseconds of the page's clock.
uint64_t Now();
// Ends the event loop's wait at once: an event came.
void WakeLoop();

// --- i_gamepad.cpp ---

// Reads the browser's controllers and queues the keys that changed; true
// while any is connected (and so worth reading again soon).
bool PadPoll();

// --- i_system.cpp ---

// Keeps the data folder's files in the browser's storage (after the game
// saved its settings); storage that is missing or full is passed over.
void StorageSave();

// --- keymap.cpp (no browser code: the tests build it natively) ---

// The virtual-key code of a key of the page, from the KeyboardEvent's `code`
// (the key's place) and `key` (what it types); a key the old platform had no
// number for has one of its own above 0xFF (see platform/keys.h); 0 only
// without a `code`.
uint32_t VirtualKeyOfDomKey(const char* code, const char* key);
// The character a key types without Shift on a US keyboard, for Alt+key's
// character event; 0 for keys that type none.
uint32_t UnshiftedCharacterOfDomKey(const char* code);
