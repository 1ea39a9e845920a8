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

void OnPenDown(int32_t logicalX, int32_t logicalY) { OnFingerDown(0, logicalX, logicalY); }

void OnPenUp() { OnFingerUp(0); }

namespace {
bool IsFinger(int32_t finger) { return finger >= 0 && finger < MaxFingers; }

// The key one finger held goes up, unless another finger is on it too.
void LetGoOfFingerKey(int32_t finger) {
    const uint16_t key = InputState.FingerKey[finger];
    InputState.FingerKey[finger] = 0;
    InputState.ReleasedKeys = static_cast<uint16_t>(InputState.ReleasedKeys | FlagOf(key));
    if (key != 0) InputState.ReleasedChar = key;
    for (int32_t f = 0; f < MaxFingers; ++f)
        if (InputState.FingerDown[f] != 0 && InputState.FingerKey[f] == key && key != 0) return;
    InputState.HeldKeys = static_cast<uint16_t>(InputState.HeldKeys & ~FlagOf(key));
}

bool Waiting(uint16_t key) {
    for (int32_t i = 0; i < InputState.TapsWaitingCount; ++i)
        if (InputState.TapsWaiting[i] == key) return true;
    return false;
}

// A press by a finger, the pen or a touch control, kept for the next latch.
// A control tapped again before the latch took its first tap (two quick
// taps within one tick) is pressed again at the latch after, and so on:
// every tap counts, each on a tick of its own.
void Tap(uint16_t key) {
    const uint16_t flag = FlagOf(key);
    const bool tappedAlready = (flag != 0 && (InputState.TappedKeys & flag) != 0) ||
                               InputState.TappedChar == key || Waiting(key);
    if (key != 0 && tappedAlready) {
        if (InputState.TapsWaitingCount < MaxTapsWaiting)
            InputState.TapsWaiting[InputState.TapsWaitingCount++] = key;
        return;
    }
    InputState.TappedKeys = static_cast<uint16_t>(InputState.TappedKeys | flag);
    if (key != 0) InputState.TappedChar = key;
}

// The finger now on the button of `key`, kept for the next latch.
void PressFingerKey(int32_t finger, uint16_t key) {
    InputState.FingerKey[finger] = key;
    // A tap is the key of the button under it going down; outside every
    // button it is key 0, which sets no flag.
    OnKeyDown(key);
    Tap(key);
}

// The oldest waiting tap, made the next latch's: a new press of its key.
void TakeWaitingTap() {
    if (InputState.TapsWaitingCount == 0) return;
    const uint16_t key = InputState.TapsWaiting[0];
    --InputState.TapsWaitingCount;
    for (int32_t i = 0; i < InputState.TapsWaitingCount; ++i)
        InputState.TapsWaiting[i] = InputState.TapsWaiting[i + 1];
    InputState.TappedKeys = InputState.ReleasedKeys = FlagOf(key);
    InputState.TappedChar = InputState.ReleasedChar = key;
}
} // namespace

void OnFingerDown(int32_t finger, int32_t logicalX, int32_t logicalY) {
    if (!IsFinger(finger)) return;
    InputState.HeldKeys |= MOUSE_DOWN;
    InputState.TappedKeys |= MOUSE_DOWN;
    InputState.MouseX = static_cast<uint16_t>(logicalX);
    InputState.MouseY = static_cast<uint16_t>(logicalY);
    if (InputState.FingerDown[finger] != 0) LetGoOfFingerKey(finger);
    InputState.FingerDown[finger] = 1;
    PressFingerKey(finger, HitTestButtons());
}

void OnFingerMove(int32_t finger, int32_t logicalX, int32_t logicalY) {
    if (!IsFinger(finger) || InputState.FingerDown[finger] == 0) return;
    const uint16_t key = ButtonKeyAt(logicalX, logicalY);
    if (key == InputState.FingerKey[finger]) return;
    // Off its button: as if that key went up.
    LetGoOfFingerKey(finger);
    InputState.CurrentChar = 0;
    if (key == 0) return;
    InputState.MouseX = static_cast<uint16_t>(logicalX);
    InputState.MouseY = static_cast<uint16_t>(logicalY);
    PressFingerKey(finger, HitTestButtons());
}

void OnFingerUp(int32_t finger) {
    if (IsFinger(finger) && InputState.FingerDown[finger] != 0) {
        InputState.FingerDown[finger] = 0;
        LetGoOfFingerKey(finger);
    }
    InputState.CurrentChar = 0;
    for (int32_t f = 0; f < MaxFingers; ++f)
        if (InputState.FingerDown[f] != 0) return;
    InputState.MouseX = 0;
    InputState.MouseY = 0;
    InputState.ReleasedKeys |= MOUSE_DOWN;
    // The pen (the last finger) going up lets go of everything, keyboard
    // keys too.
    InputState.HeldKeys = 0;
}

void OnTouchKeyUp(uint32_t key) {
    OnKeyUp(key);
    InputState.ReleasedKeys = static_cast<uint16_t>(InputState.ReleasedKeys | FlagOf(key));
    InputState.ReleasedChar = static_cast<uint16_t>(key);
}

void OnTouchKeyDown(uint32_t key) {
    OnKeyDown(key);
    Tap(static_cast<uint16_t>(key));
}

void LatchInput() {
    // A press by a pen, a finger or a touch control since the last latch
    // is pressed now, even if let go already, and so is one that a finger
    // let go of and pressed again in between (a quick second tap); a key
    // the keyboard let go of and a finger pressed is not new. What is held
    // now is what the next latch compares with.
    const auto renewed = static_cast<uint16_t>(~InputState.PrevHeldKeys | InputState.ReleasedKeys);
    InputState.PressedKeys = static_cast<uint16_t>(
        (InputState.HeldKeys & ~InputState.PrevHeldKeys) | (InputState.TappedKeys & renewed));
    InputState.PrevHeldKeys = InputState.HeldKeys;
    const uint16_t tapped = InputState.TappedChar;
    if (tapped != 0 && (tapped != InputState.CurrentChar || tapped == InputState.ReleasedChar)) {
        InputState.NewChar = tapped;
        InputState.LastChar = InputState.CurrentChar;
    } else if (InputState.CurrentChar != InputState.LastChar) {
        InputState.NewChar = InputState.CurrentChar;
        InputState.LastChar = InputState.CurrentChar;
    } else {
        InputState.NewChar = 0;
    }
    InputState.TappedKeys = 0;
    InputState.TappedChar = 0;
    InputState.ReleasedKeys = 0;
    InputState.ReleasedChar = 0;
    TakeWaitingTap();
}

void SetLatchedInput(uint16_t held, uint16_t pressed, uint16_t newChar) {
    InputState.HeldKeys = held;
    InputState.PressedKeys = pressed;
    InputState.NewChar = newChar;
}

void ForgetHeldKeys() { InputState.HeldKeys = 0; }

void ForgetCurrentKey() { InputState.CurrentChar = 0; }

bool TapPending() { return InputState.TappedKeys != 0 || InputState.TappedChar != 0; }

uint16_t HitTestButtons() {
    const uint16_t key = ButtonKeyAt(InputState.MouseX, InputState.MouseY);
    if (key != 0) InputState.CurrentChar = key;
    return key;
}
