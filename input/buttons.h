// SPDX-License-Identifier: GPL-3.0-or-later
// The on-screen buttons' model: each stands for a key, shows that key acting
// for one tick, and a tap on it is handled as the key going down. Buttons 1,
// 2 and 8 are toggles; button 1's state is the sound switch. Where they stand
// and how they look is the drawing's business; the module's state is the one
// instance Buttons.
#pragma once

#include <cstdint>

struct Button {
    uint16_t key; // 0 ends the table
    int32_t x, y, w, h;
    int32_t state; // toggles only: 0 off, non-zero on
};

constexpr int32_t ButtonCount = 9;
enum ButtonIndex : int32_t {
    BUTTON_QUIT = 0,
    BUTTON_SOUND = 1,
    BUTTON_PAUSE = 2,
    BUTTON_ROTATE = 3,
    BUTTON_DROP = 4,
    BUTTON_LEFT = 5,
    BUTTON_RIGHT = 6,
    BUTTON_OPTIONS = 7,
    // A toggle that is never shown, hit or pressed once the buttons are laid
    // out; its state is kept in the settings file all the same.
    BUTTON_HIDDEN = 8,
};

struct ButtonsState {
    // Nine buttons and a record of zeros that ends the table.
    Button Table[ButtonCount + 1];
    // Release bookkeeping: a pressed button is shown raised again on the
    // next tick; the Options button's release asks for the Options dialog.
    int32_t ReleasePending;
    int32_t PendingButton;
    int32_t OptionsRequest;
};
extern ButtonsState Buttons;

bool IsButton(int32_t i);
bool IsToggle(int32_t i);
// A toggle's state, 0 for any other button.
int32_t ButtonState(int32_t i);
// Sets a toggle's state (the settings' sound switch, a saved game's pause).
void SetToggle(int32_t i, int32_t state);

// Where button i stands and how large it is: the drawing decides, once it
// knows the screen.
void PlaceButton(int32_t i, int32_t x, int32_t y, int32_t w, int32_t h);
// Button i ends the table from now on: never drawn, hit or pressed again.
void RetireButton(int32_t i);

// Whether the Options button's release has asked for the Options dialog;
// the asking is taken (and forgotten) by the asking.
bool TakeOptionsRequest();

// The buttons' states, without their places: what a saved game and a
// replay's rewinding take and give back.
struct ButtonStates {
    int32_t toggles[ButtonCount];
    int32_t releasePending, pendingButton, optionsRequest;
};
void CopyButtonStates(ButtonStates* states);
void RestoreButtonStates(const ButtonStates& states);

// Presses button i (a toggle flips) until the next release.
void PressButton(int32_t i);
// Ends the press of the previous tick: the button to show raised again, or
// -1 when none is pressed.
int32_t ReleaseButton();
// Forgets a press without a release (a new game starts with none).
void ForgetPressedButton();

// The key of the button strictly inside whose edges the logical point
// (x, y) lies, or 0.
uint16_t ButtonKeyAt(int32_t x, int32_t y);

// The table as at start-up.
void ResetButtons();
