// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/input_state.h"

#include "input/buttons.h"

InputStateFields InputState;

namespace {
uint16_t FlagOf(uint32_t key) {
    switch (key) {
    case VK_RETURN: return KEY_ENTER;
    case VK_LEFT: return KEY_LEFT;
    case VK_UP: return KEY_UP;
    case VK_RIGHT: return KEY_RIGHT;
    case VK_DOWN: return KEY_DOWN;
    default: return 0;
    }
}
} // namespace

void ResetInputState() { InputState = InputStateFields{}; }

void OnKeyDown(uint32_t key) {
    InputState.HeldKeys |= FlagOf(key);
    // Every key becomes the current character, flagged or not, 0 included.
    InputState.CurrentChar = static_cast<uint16_t>(key);
}

void OnKeyUp(uint32_t key) {
    // Only the key's own flag: the pen and other keys stay down.
    InputState.HeldKeys = static_cast<uint16_t>(InputState.HeldKeys & ~FlagOf(key));
    InputState.CurrentChar = 0;
}

void OnPenDown(int32_t logicalX, int32_t logicalY) {
    InputState.HeldKeys |= MOUSE_DOWN;
    InputState.MouseX = static_cast<uint16_t>(logicalX);
    InputState.MouseY = static_cast<uint16_t>(logicalY);
    // A tap is the key of the button under it going down; outside every
    // button it is key 0, which sets no flag.
    OnKeyDown(HitTestButtons());
}

void OnPenUp() {
    InputState.MouseX = 0;
    InputState.MouseY = 0;
    // The pen going up lets go of everything, keyboard keys too.
    InputState.HeldKeys = 0;
    InputState.CurrentChar = 0;
}

void LatchInput() {
    InputState.PressedKeys = static_cast<uint16_t>(InputState.HeldKeys & ~InputState.PrevHeldKeys);
    InputState.PrevHeldKeys = InputState.HeldKeys;
    if (InputState.CurrentChar != InputState.LastChar) {
        InputState.NewChar = InputState.CurrentChar;
        InputState.LastChar = InputState.CurrentChar;
    } else {
        InputState.NewChar = 0;
    }
}

uint16_t HitTestButtons() {
    const uint16_t key = ButtonKeyAt(InputState.MouseX, InputState.MouseY);
    if (key != 0) InputState.CurrentChar = key;
    return key;
}
