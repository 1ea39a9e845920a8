// SPDX-License-Identifier: GPL-3.0-or-later
// Game controllers play with the keys they stand in for: the D-pad and the
// left stick are the arrows, A is Enter, Start Space, Back Escape, Y the O
// key, X the S key, and B a key of its own (VK_PAD_B). A controller's
// buttons and its stick's directions each hold a key, and a key is down
// while anything holds it: the events are those of one key going down and
// coming up, from KEY_FROM_PAD. Each backend tells its controllers'
// buttons by these numbers.
#pragma once

#include "platform/platform.h"

enum PadButton : int32_t {
    PAD_A = 0,
    PAD_B = 1,
    PAD_X = 2,
    PAD_Y = 3,
    PAD_BACK = 4,
    PAD_GUIDE = 5,
    PAD_START = 6,
    PAD_LEFT_STICK = 7,
    PAD_RIGHT_STICK = 8,
    PAD_LEFT_SHOULDER = 9,
    PAD_RIGHT_SHOULDER = 10,
    PAD_DPAD_UP = 11,
    PAD_DPAD_DOWN = 12,
    PAD_DPAD_LEFT = 13,
    PAD_DPAD_RIGHT = 14,
    PAD_BUTTON_LIMIT = 32, // buttons numbered beyond are not kept
};

enum PadAxis : int32_t { PAD_AXIS_X = 0, PAD_AXIS_Y = 1 };

constexpr int32_t PadMaxControllers = 8;
constexpr int32_t PadMaxEvents = 10; // one for each key a controller gives
// Stick values run from -32768 to 32767. The stick leaves its dead zone
// past PadStickPress and is back in it within PadStickRelease, so that a
// stick resting near the edge does not chatter.
constexpr int32_t PadStickPress = 16000;
constexpr int32_t PadStickRelease = 10000;

struct PadController {
    bool used;
    int32_t id;            // the backend's own name for the controller
    uint32_t buttons;      // a bit for each PadButton held
    int8_t stickX, stickY; // -1, 0 or 1: left/up, in the dead zone, right/down
};
struct PadState {
    PadController controllers[PadMaxControllers];
};

// The key events one change of controller `id` gives:
// key-ups of the keys let go, then key-downs of the keys newly held; 0 for
// changes that move no key. A controller is taken into a free slot when it
// is first heard from; with every slot taken it is not heard.
int32_t PadButtonChange(PadState* pad, int32_t id, int32_t button, bool down,
                        Event out[PadMaxEvents]);
int32_t PadStickChange(PadState* pad, int32_t id, int32_t axis, int32_t value,
                       Event out[PadMaxEvents]);
// A controller taken away lets go of everything it held, and its slot.
int32_t PadRemoved(PadState* pad, int32_t id, Event out[PadMaxEvents]);
