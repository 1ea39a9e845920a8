// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/buttons.h"

#include "input/buttons.h"
#include "render/layout.h"
#include "render/sprites.h"

void LayoutButtons() {
    const int32_t r = Layout.AreaX + Layout.AreaWidth;
    const int32_t px = Layout.PanelX, py = Layout.ButtonsY;
    const auto place = [](int32_t i, int32_t x, int32_t y) {
        PlaceButton(i, x, y, ButtonWidths[i], ButtonHeights[i]);
    };
    // The small buttons stand in a row at the top right of the game area.
    place(BUTTON_QUIT, r - 16, Buttons.Table[BUTTON_QUIT].y);
    place(BUTTON_SOUND, r - 48, Buttons.Table[BUTTON_SOUND].y);
    place(BUTTON_OPTIONS, r - 32, Buttons.Table[BUTTON_OPTIONS].y);
    place(BUTTON_HIDDEN, r - 64, Buttons.Table[BUTTON_HIDDEN].y);
    // The pause bar in the panel, and below it a cross of direction keys.
    place(BUTTON_PAUSE, px + 8, py);
    place(BUTTON_ROTATE, px + 22, py + 18);
    place(BUTTON_DROP, px + 22, py + 34);
    place(BUTTON_LEFT, px + 2, py + 34);
    place(BUTTON_RIGHT, px + 42, py + 34);
    // The hidden button ends the table from now on: never drawn, hit or pressed.
    RetireButton(BUTTON_HIDDEN);
}

void DrawButtonImage(int32_t i, int32_t down) {
    if (!IsButton(i)) return;
    const Button& b = Buttons.Table[i];
    const SpritePos src = down != 0 ? ButtonSpritesDown[i] : ButtonSpritesUp[i];
    Blit(Layout.BackBuffer, b.x, b.y, b.w, b.h, Layout.SpriteSheet, src.x, src.y, Copy);
}

void DrawButton(int32_t i, int32_t down) {
    if (IsToggle(i))
        DrawButtonImage(i, Buttons.Table[i].state);
    else
        DrawButtonImage(i, down);
}
