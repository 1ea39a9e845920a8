// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pad.h"

#include "platform/keys.h"

namespace {
// Every key a controller gives, in the order its events go out.
constexpr uint32_t PadKeys[PadMaxEvents] = {VK_LEFT,  VK_UP,     VK_RIGHT, VK_DOWN, VK_RETURN,
                                            VK_SPACE, VK_ESCAPE, VK_O,     VK_S,    VK_PAD_B};

uint32_t KeyOfButton(int32_t button) {
    switch (button) {
    case PAD_A: return VK_RETURN;
    case PAD_B: return VK_PAD_B;
    case PAD_X: return VK_S;
    case PAD_Y: return VK_O;
    case PAD_BACK: return VK_ESCAPE;
    case PAD_START: return VK_SPACE;
    case PAD_DPAD_UP: return VK_UP;
    case PAD_DPAD_DOWN: return VK_DOWN;
    case PAD_DPAD_LEFT: return VK_LEFT;
    case PAD_DPAD_RIGHT: return VK_RIGHT;
    default: return 0;
    }
}

// The bit of a key in a set of held keys.
uint32_t KeyBit(uint32_t key) {
    for (int32_t i = 0; i < PadMaxEvents; ++i)
        if (PadKeys[i] == key) return 1u << i;
    return 0;
}

uint32_t HeldKeys(const PadState& pad) {
    uint32_t held = 0;
    for (const PadController& c : pad.controllers) {
        if (!c.used) continue;
        for (int32_t button = 0; button < PAD_BUTTON_LIMIT; ++button)
            if ((c.buttons >> button) & 1u) held |= KeyBit(KeyOfButton(button));
        if (c.stickX != 0) held |= KeyBit(c.stickX < 0 ? VK_LEFT : VK_RIGHT);
        if (c.stickY != 0) held |= KeyBit(c.stickY < 0 ? VK_UP : VK_DOWN);
    }
    return held;
}

// The controller's slot, taken when it is first heard from; nullptr when
// every slot is taken.
PadController* Controller(PadState* pad, int32_t id) {
    PadController* free = nullptr;
    for (PadController& c : pad->controllers) {
        if (c.used && c.id == id) return &c;
        if (!c.used && free == nullptr) free = &c;
    }
    if (free != nullptr) *free = PadController{true, id, 0, 0, 0};
    return free;
}

// Where the stick points along one axis, with the dead zone's hysteresis.
int8_t StickDirection(int8_t current, int32_t value) {
    if (value >= PadStickPress) return 1;
    if (value <= -PadStickPress) return -1;
    if (current > 0 && value > PadStickRelease) return 1;
    if (current < 0 && value < -PadStickRelease) return -1;
    return 0;
}

// The events between the keys held before and after a change.
int32_t KeyChanges(uint32_t before, uint32_t after, Event out[PadMaxEvents]) {
    int32_t n = 0;
    for (int32_t i = 0; i < PadMaxEvents; ++i)
        if ((before & ~after) >> i & 1u)
            out[n++] = KeyEvent(EVENT_KEY_UP, PadKeys[i], KEY_FROM_PAD);
    for (int32_t i = 0; i < PadMaxEvents; ++i)
        if ((after & ~before) >> i & 1u)
            out[n++] = KeyEvent(EVENT_KEY_DOWN, PadKeys[i], KEY_FROM_PAD);
    return n;
}
} // namespace

int32_t PadButtonChange(PadState* pad, int32_t id, int32_t button, bool down,
                        Event out[PadMaxEvents]) {
    if (button < 0 || button >= PAD_BUTTON_LIMIT) return 0;
    const uint32_t before = HeldKeys(*pad);
    PadController* c = Controller(pad, id);
    if (c == nullptr) return 0;
    const uint32_t bit = 1u << button;
    c->buttons = down ? c->buttons | bit : c->buttons & ~bit;
    return KeyChanges(before, HeldKeys(*pad), out);
}

int32_t PadStickChange(PadState* pad, int32_t id, int32_t axis, int32_t value,
                       Event out[PadMaxEvents]) {
    if (axis != PAD_AXIS_X && axis != PAD_AXIS_Y) return 0;
    const uint32_t before = HeldKeys(*pad);
    PadController* c = Controller(pad, id);
    if (c == nullptr) return 0;
    int8_t& direction = axis == PAD_AXIS_X ? c->stickX : c->stickY;
    direction = StickDirection(direction, value);
    return KeyChanges(before, HeldKeys(*pad), out);
}

int32_t PadRemoved(PadState* pad, int32_t id, Event out[PadMaxEvents]) {
    const uint32_t before = HeldKeys(*pad);
    for (PadController& c : pad->controllers)
        if (c.used && c.id == id) c = PadController{};
    return KeyChanges(before, HeldKeys(*pad), out);
}
