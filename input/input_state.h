// SPDX-License-Identifier: GPL-3.0-or-later
// Keys and pen taps arrive at any time; the game looks at them once a tick.
// The handlers update the held keys at once, and LatchInput turns them into
// what the tick reads: the keys newly pressed and the key code newly typed.
// The module's state is the one instance InputState.
#pragma once

#include "platform/keys.h"
#include "platform/platform.h"

#include <cstdint>

enum KeyFlag : uint16_t {
    KEY_LEFT = 1,
    KEY_RIGHT = 2,
    KEY_UP = 4,
    KEY_DOWN = 8,
    KEY_ENTER = 16,
    MOUSE_DOWN = 0x8000,
};

// Fingers on the screen at once, each a pen of its own (0 is the pen, the
// mouse or the first finger).
constexpr int32_t MaxFingers = PenFingers;
// Taps that may wait for a tick of their own (more than a finger can make
// within one tick).
constexpr int32_t MaxTapsWaiting = 8;

struct InputStateFields {
    uint16_t HeldKeys;       // keys and pen down now
    uint16_t PrevHeldKeys;   // HeldKeys at the previous latch
    uint16_t PressedKeys;    // flags newly set at this tick's latch
    uint16_t CurrentChar;    // code of the last key that went down; 0 after any key-up
    uint16_t LastChar;       // the CurrentChar last taken over by the latch
    uint16_t NewChar;        // the key code newly pressed this tick, or 0
    uint16_t MouseX, MouseY; // last pen-down in logical pixels
    // What a pen, a finger or a touch control pressed since the last latch,
    // kept for it even if it was let go again before: a tap shorter than a
    // tick still acts once. Keys typed on a keyboard are not kept.
    uint16_t TappedKeys;
    uint16_t TappedChar;
    // What a finger or a touch control let go of since the last latch: a
    // press of it again before the latch is a new press.
    uint16_t ReleasedKeys;
    uint16_t ReleasedChar;
    // The key of the button under each finger that is down (0 for none).
    uint16_t FingerKey[MaxFingers];
    uint8_t FingerDown[MaxFingers];
    // Taps of a control that was tapped already since the last latch, oldest
    // first: each is pressed at a latch of its own, one a tick.
    uint16_t TapsWaiting[MaxTapsWaiting];
    int32_t TapsWaitingCount;
};
extern InputStateFields InputState;

void OnKeyDown(uint32_t key);
void OnKeyUp(uint32_t key);
// The pen going down at a logical point (the shell converts window pixels).
void OnPenDown(int32_t logicalX, int32_t logicalY);
void OnPenUp();
// Each finger down is a pen of its own, pressing the button under it; one
// that slides onto another button lets go of the first and presses that
// one. The last finger up lets go of everything, as the pen does. Finger 0
// is the pen.
void OnFingerDown(int32_t finger, int32_t logicalX, int32_t logicalY);
void OnFingerMove(int32_t finger, int32_t logicalX, int32_t logicalY);
void OnFingerUp(int32_t finger);
// A key from a control on the screen that stands for it: a key going down
// that, let go within the tick, still counts as pressed once.
void OnTouchKeyDown(uint32_t key);
void OnTouchKeyUp(uint32_t key);
void LatchInput();
// What the latch leaves for the rules, set as it is given: a kept game's
// Space, a replay's input of a tick.
void SetLatchedInput(uint16_t held, uint16_t pressed, uint16_t newChar);
// Keys held from before are forgotten (a new game), and the key that went
// down last (after a dialog: its keys were the dialog's).
void ForgetHeldKeys();
void ForgetCurrentKey();
// Whether a tap is waiting for the next latch: that tick is not idle.
bool TapPending();
// The key of the button under the pen, or 0; a hit makes it the current
// character.
uint16_t HitTestButtons();

void ResetInputState();
