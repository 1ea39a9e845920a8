// SPDX-License-Identifier: GPL-3.0-or-later
// The on-screen buttons: each stands for a key, shows that key acting for one
// tick, and a tap on it is handled as the key going down. Buttons 1, 2 and 8
// are toggles; button 1's state is the sound switch.
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
    BUTTON_NINTH = 8,
};

// Nine buttons and a record of zeros that ends the table.
extern Button ButtonTable[ButtonCount + 1];

// Release bookkeeping: a pressed button is drawn raised again on the next
// tick; the Options button's release asks for the Options dialog.
extern int32_t ReleasePending;
extern int32_t PendingButton;
extern int32_t OptionsRequest;

// Places the buttons for the current layout and takes the ninth button out of
// the table (its state is still loaded and saved).
void LayoutButtons();

void DrawButton(int32_t i, int32_t press);
void DrawButtonImage(int32_t i, int32_t down);
void DrawToggleButton(int32_t i, int32_t flip);

// Shows button i pressed now (a toggle flips) and releases it next tick.
void PressButton(int32_t i);

// The first step of every game tick: draws the button pressed on the previous
// tick raised again.
void ReleaseButton();

// The table as at start-up, for tests and the headless runner.
void ResetButtons();
