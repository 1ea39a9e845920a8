// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/buttons.h"

#include "render/layout.h"
#include "platform/keys.h"
#include "render/sprites.h"

namespace {
// Sizes and places before the layout is known; the places are replaced by
// LayoutButtons.
// Each button is the size of its sprite.
constexpr Button Initial(uint16_t key, int32_t x, int32_t y, int32_t i) {
    return Button{key, x, y, ButtonWidths[i], ButtonHeights[i], 0};
}
constexpr Button InitialButtons[ButtonCount + 1] = {
    Initial(VK_ESCAPE, 225, 0, BUTTON_QUIT),      Initial(VK_S, 213, 0, BUTTON_SOUND),
    Initial(VK_SPACE, 16, 180, BUTTON_PAUSE),     Initial(VK_RETURN, 30, 166, BUTTON_ROTATE),
    Initial(VK_DOWN, 30, 184, BUTTON_DROP),       Initial(VK_LEFT, 10, 184, BUTTON_LEFT),
    Initial(VK_RIGHT, 50, 184, BUTTON_RIGHT),     Initial(VK_O, 184, 0, BUTTON_OPTIONS),
    Initial('E', 200, 0, BUTTON_NINTH), // inert
    Button{0, 0, 0, 0, 0, 0},
};

bool IsToggle(int32_t i) { return i == BUTTON_SOUND || i == BUTTON_PAUSE || i == BUTTON_NINTH; }
bool IsButton(int32_t i) { return i >= 0 && i < ButtonCount; }
} // namespace

Button ButtonTable[ButtonCount + 1] = {
    InitialButtons[0], InitialButtons[1], InitialButtons[2], InitialButtons[3], InitialButtons[4],
    InitialButtons[5], InitialButtons[6], InitialButtons[7], InitialButtons[8], InitialButtons[9]};
int32_t ReleasePending;
int32_t PendingButton;
int32_t OptionsRequest;

void ResetButtons() {
    for (int32_t i = 0; i <= ButtonCount; ++i) ButtonTable[i] = InitialButtons[i];
    ReleasePending = 0;
    PendingButton = 0;
    OptionsRequest = 0;
}

void LayoutButtons() {
    const int32_t r = Layout.AreaX + Layout.AreaWidth;
    const int32_t px = Layout.PanelX, py = Layout.ButtonsY;
    // The small buttons stand in a row at the top right of the game area.
    ButtonTable[BUTTON_QUIT].x = r - 16;
    ButtonTable[BUTTON_SOUND].x = r - 48;
    ButtonTable[BUTTON_OPTIONS].x = r - 32;
    ButtonTable[BUTTON_NINTH].x = r - 64;
    // The pause bar in the panel, and below it a cross of direction keys.
    ButtonTable[BUTTON_PAUSE].x = px + 8;
    ButtonTable[BUTTON_PAUSE].y = py;
    ButtonTable[BUTTON_ROTATE].x = px + 22;
    ButtonTable[BUTTON_ROTATE].y = py + 18;
    ButtonTable[BUTTON_DROP].x = px + 22;
    ButtonTable[BUTTON_DROP].y = py + 34;
    ButtonTable[BUTTON_LEFT].x = px + 2;
    ButtonTable[BUTTON_LEFT].y = py + 34;
    ButtonTable[BUTTON_RIGHT].x = px + 42;
    ButtonTable[BUTTON_RIGHT].y = py + 34;
    // The ninth button ends the table from now on: never drawn, hit or pressed.
    ButtonTable[BUTTON_NINTH].key = 0;
}

void DrawButtonImage(int32_t i, int32_t down) {
    if (!IsButton(i)) return;
    const Button& b = ButtonTable[i];
    const SpritePos src = down != 0 ? ButtonSpritesDown[i] : ButtonSpritesUp[i];
    Blit(BackBuffer, b.x, b.y, b.w, b.h, SpriteSheet, src.x, src.y, Copy);
}

void DrawToggleButton(int32_t i, int32_t flip) {
    if (!IsButton(i)) return;
    Button& b = ButtonTable[i];
    if (flip != 0) b.state = b.state == 0 ? 1 : 0;
    // A toggle always shows its state, whatever it was asked.
    DrawButtonImage(i, b.state);
}

void DrawButton(int32_t i, int32_t press) {
    if (IsToggle(i))
        DrawToggleButton(i, press);
    else
        DrawButtonImage(i, press);
}

void PressButton(int32_t i) {
    DrawButton(i, 1);
    ReleasePending = 1;
    PendingButton = i;
}

void ReleaseButton() {
    if (ReleasePending != 1) return;
    if (PendingButton == BUTTON_OPTIONS) OptionsRequest = BUTTON_OPTIONS;
    ReleasePending = 0;
    DrawButton(PendingButton, 0);
}
