// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/buttons.h"

#include "platform/keys.h"

namespace {
// Sizes and places before the layout is known: the drawing places the
// buttons, each the size of its picture, once it knows the screen.
constexpr int32_t InitialWidths[ButtonCount] = {16, 16, 48, 20, 20, 20, 20, 16, 16};
constexpr int32_t InitialHeights[ButtonCount] = {16, 16, 16, 17, 17, 17, 17, 16, 16};
constexpr Button Initial(uint16_t key, int32_t x, int32_t y, int32_t i) {
    return Button{key, x, y, InitialWidths[i], InitialHeights[i], 0};
}
constexpr Button InitialButtons[ButtonCount + 1] = {
    Initial(VK_ESCAPE, 225, 0, BUTTON_QUIT),  Initial(VK_S, 213, 0, BUTTON_SOUND),
    Initial(VK_SPACE, 16, 180, BUTTON_PAUSE), Initial(VK_RETURN, 30, 166, BUTTON_ROTATE),
    Initial(VK_DOWN, 30, 184, BUTTON_DROP),   Initial(VK_LEFT, 10, 184, BUTTON_LEFT),
    Initial(VK_RIGHT, 50, 184, BUTTON_RIGHT), Initial(VK_O, 184, 0, BUTTON_OPTIONS),
    Initial('E', 200, 0, BUTTON_HIDDEN),      Button{0, 0, 0, 0, 0, 0},
};
} // namespace

ButtonsState Buttons{{InitialButtons[0], InitialButtons[1], InitialButtons[2], InitialButtons[3],
                      InitialButtons[4], InitialButtons[5], InitialButtons[6], InitialButtons[7],
                      InitialButtons[8], InitialButtons[9]},
                     0,
                     0,
                     0};

bool IsButton(int32_t i) { return i >= 0 && i < ButtonCount; }
bool IsToggle(int32_t i) { return i == BUTTON_SOUND || i == BUTTON_PAUSE || i == BUTTON_HIDDEN; }

int32_t ButtonState(int32_t i) { return IsToggle(i) ? Buttons.Table[i].state : 0; }

void SetToggle(int32_t i, int32_t state) {
    if (IsToggle(i)) Buttons.Table[i].state = state;
}

void PlaceButton(int32_t i, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (!IsButton(i)) return;
    Button& b = Buttons.Table[i];
    b.x = x;
    b.y = y;
    b.w = w;
    b.h = h;
}

void RetireButton(int32_t i) {
    if (IsButton(i)) Buttons.Table[i].key = 0;
}

bool TakeOptionsRequest() {
    const bool asked = Buttons.OptionsRequest != 0;
    Buttons.OptionsRequest = 0;
    return asked;
}

void CopyButtonStates(ButtonStates* states) {
    for (int32_t i = 0; i < ButtonCount; ++i) states->toggles[i] = Buttons.Table[i].state;
    states->releasePending = Buttons.ReleasePending;
    states->pendingButton = Buttons.PendingButton;
    states->optionsRequest = Buttons.OptionsRequest;
}

void RestoreButtonStates(const ButtonStates& states) {
    for (int32_t i = 0; i < ButtonCount; ++i) Buttons.Table[i].state = states.toggles[i];
    Buttons.ReleasePending = states.releasePending;
    Buttons.PendingButton = states.pendingButton;
    Buttons.OptionsRequest = states.optionsRequest;
}

void ResetButtons() {
    for (int32_t i = 0; i <= ButtonCount; ++i) Buttons.Table[i] = InitialButtons[i];
    Buttons.ReleasePending = 0;
    Buttons.PendingButton = 0;
    Buttons.OptionsRequest = 0;
}

void PressButton(int32_t i) {
    if (IsToggle(i)) {
        Button& b = Buttons.Table[i];
        b.state = b.state == 0 ? 1 : 0;
    }
    Buttons.ReleasePending = 1;
    Buttons.PendingButton = i;
}

int32_t ReleaseButton() {
    if (Buttons.ReleasePending != 1) return -1;
    if (Buttons.PendingButton == BUTTON_OPTIONS) Buttons.OptionsRequest = BUTTON_OPTIONS;
    Buttons.ReleasePending = 0;
    return Buttons.PendingButton;
}

void ForgetPressedButton() { Buttons.ReleasePending = 0; }

uint16_t ButtonKeyAt(int32_t x, int32_t y) {
    for (const Button* b = Buttons.Table; b->key != 0; ++b) {
        // Strict on all four sides: a point on an edge misses.
        if (b->x < x && x < b->x + b->w && b->y < y && y < b->y + b->h) return b->key;
    }
    return 0;
}
