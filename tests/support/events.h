// SPDX-License-Identifier: GPL-3.0-or-later
// What a test reads of an event: its kind in a word, and a pen's place.
#pragma once

#include "platform/platform.h"

#include <string>
#include <utility>

inline std::string What(const Event& e) {
    switch (e.kind) {
    case EVENT_CREATE: return "create";
    case EVENT_DESTROY: return "destroy";
    case EVENT_SIZE: return "size";
    case EVENT_PAINT: return "paint";
    case EVENT_CLOSE: return "close";
    case EVENT_END_SESSION: return "end session";
    case EVENT_SHOWN: return e.shown ? "shown" : "hidden";
    case EVENT_KEY_DOWN: return e.alt ? "alt key down" : "key down";
    case EVENT_KEY_UP: return e.alt ? "alt key up" : "key up";
    case EVENT_CHARACTER: return e.alt ? "alt character" : "character";
    case EVENT_COMMAND: return "command";
    case EVENT_TIMER: return "timer";
    case EVENT_PEN_DOWN: return "pen down";
    case EVENT_PEN_MOVE: return "pen move";
    case EVENT_PEN_UP: return "pen up";
    case EVENT_INIT_DIALOG: return "init dialog";
    case EVENT_CHECK: return "check";
    default: return "none";
    }
}

inline std::pair<int32_t, int32_t> At(const Event& e) { return {e.x, e.y}; }
