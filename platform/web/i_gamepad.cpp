// SPDX-License-Identifier: GPL-3.0-or-later
// Game controllers through the browser's Gamepad interface, which has no
// events for buttons: the controllers are read each time the event loop
// looks for work, and what changed since the last reading becomes the
// same key events as on the desktop. The browser numbers a controller's
// buttons in its standard layout; they are mapped to the game's own.
#include "platform/web/web.h"

#include "platform/pad.h"

#include <emscripten.h>

namespace {
constexpr int32_t MaxPads = 4;
constexpr int32_t Fields = 4; // per controller: index, buttons, stick x, stick y

// The standard layout's buttons, by the browser's number.
constexpr int32_t StandardButtons[] = {
    PAD_A,          PAD_B,           PAD_X,          PAD_Y,       PAD_LEFT_SHOULDER, PAD_RIGHT_SHOULDER,
    -1,             -1, /* triggers */ PAD_BACK,      PAD_START,   PAD_LEFT_STICK,    PAD_RIGHT_STICK,
    PAD_DPAD_UP,    PAD_DPAD_DOWN,   PAD_DPAD_LEFT,  PAD_DPAD_RIGHT, PAD_GUIDE};
constexpr int32_t StandardButtonCount = sizeof StandardButtons / sizeof StandardButtons[0];

struct PadReading {
    int32_t index;   // the browser's number for the controller, -1 for none
    uint32_t buttons; // a bit for each of the browser's buttons held
    int32_t x, y;    // the left stick, -32767 to 32767
};

struct GamepadState {
    PadState pad;
    PadReading last[MaxPads];
    int32_t lastCount;
};
GamepadState Gamepads;

extern "C" int js_read_gamepads(int32_t* out, int max);

const PadReading* Find(const PadReading* readings, int32_t count, int32_t index) {
    for (int32_t i = 0; i < count; ++i)
        if (readings[i].index == index) return &readings[i];
    return nullptr;
}

void PostAll(const Event* out, int32_t n) {
    for (int32_t i = 0; i < n; ++i) PlatformPostEvent(out[i]);
    if (n > 0) WakeLoop();
}
} // namespace

bool PadPoll() {
    int32_t raw[MaxPads * Fields];
    const int32_t count = js_read_gamepads(raw, MaxPads);
    PadReading now[MaxPads];
    for (int32_t i = 0; i < count; ++i)
        now[i] = PadReading{raw[i * Fields], static_cast<uint32_t>(raw[i * Fields + 1]), raw[i * Fields + 2],
                            raw[i * Fields + 3]};
    Event out[PadMaxEvents];
    // Controllers gone let go of what they held.
    for (int32_t i = 0; i < Gamepads.lastCount; ++i)
        if (Find(now, count, Gamepads.last[i].index) == nullptr)
            PostAll(out, PadRemoved(&Gamepads.pad, Gamepads.last[i].index, out));
    for (int32_t i = 0; i < count; ++i) {
        const PadReading* before = Find(Gamepads.last, Gamepads.lastCount, now[i].index);
        const PadReading was = before != nullptr ? *before : PadReading{now[i].index, 0, 0, 0};
        const int32_t id = now[i].index;
        for (int32_t b = 0; b < StandardButtonCount; ++b) {
            const bool down = (now[i].buttons >> b & 1u) != 0;
            if (down == ((was.buttons >> b & 1u) != 0) || StandardButtons[b] < 0) continue;
            PostAll(out, PadButtonChange(&Gamepads.pad, id, StandardButtons[b], down, out));
        }
        if (now[i].x != was.x) PostAll(out, PadStickChange(&Gamepads.pad, id, PAD_AXIS_X, now[i].x, out));
        if (now[i].y != was.y) PostAll(out, PadStickChange(&Gamepads.pad, id, PAD_AXIS_Y, now[i].y, out));
    }
    for (int32_t i = 0; i < count; ++i) Gamepads.last[i] = now[i];
    Gamepads.lastCount = count;
    return count > 0;
}
