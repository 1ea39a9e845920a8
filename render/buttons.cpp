// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/buttons.h"

#include "input/buttons.h"
#include "render/layout.h"
#include "render/sprites.h"

void LayoutButtons() {
    Button* table = Buttons.Table;
    for (int32_t i = 0; i < ButtonCount; ++i) {
        table[i].w = ButtonWidths[i];
        table[i].h = ButtonHeights[i];
    }
    const int32_t r = Layout.AreaX + Layout.AreaWidth;
    const int32_t px = Layout.PanelX, py = Layout.ButtonsY;
    // The small buttons stand in a row at the top right of the game area.
    table[BUTTON_QUIT].x = r - 16;
    table[BUTTON_SOUND].x = r - 48;
    table[BUTTON_OPTIONS].x = r - 32;
    table[BUTTON_HIDDEN].x = r - 64;
    // The pause bar in the panel, and below it a cross of direction keys.
    table[BUTTON_PAUSE].x = px + 8;
    table[BUTTON_PAUSE].y = py;
    table[BUTTON_ROTATE].x = px + 22;
    table[BUTTON_ROTATE].y = py + 18;
    table[BUTTON_DROP].x = px + 22;
    table[BUTTON_DROP].y = py + 34;
    table[BUTTON_LEFT].x = px + 2;
    table[BUTTON_LEFT].y = py + 34;
    table[BUTTON_RIGHT].x = px + 42;
    table[BUTTON_RIGHT].y = py + 34;
    // The hidden button ends the table from now on: never drawn, hit or pressed.
    table[BUTTON_HIDDEN].key = 0;
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
