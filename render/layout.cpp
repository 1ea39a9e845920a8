// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/layout.h"

#include "platform/stretch.h"
#include "render/sprites.h"

ScreenLayout Layout;

namespace {
// Multiplied, never divided: the scale is the window height times the double
// nearest 1/240 (landscape) or 1/320 (portrait).
constexpr double OneOver240 = 1.0 / 240.0;
constexpr double OneOver320 = 1.0 / 320.0;
} // namespace

int32_t CellX(int32_t column) { return Layout.AreaX + 4 + column * Layout.CellSize; }
int32_t CellY(int32_t row) { return Layout.AreaY + 4 + row * Layout.CellSize; }

void LayoutScreen(int32_t windowWidth, int32_t windowHeight) {
    ScreenLayout& L = Layout;
    L.WindowWidth = windowWidth;
    L.WindowHeight = windowHeight;

    Layout.BackBuffer = CreateSurface(windowWidth, windowHeight);
    Fill(Layout.BackBuffer, 0, 0, windowWidth, windowHeight, Blackness);

    L.Scale = windowHeight * OneOver240;
    if (L.Scale < 1.0) L.Scale = 1.0;

    L.AreaY = 0;
    L.AreaWidth = 240;
    if (windowHeight < windowWidth) {
        // Landscape: the 240-wide area is centred in the logical width, and
        // may start left of the screen when that is narrower than 240.
        L.AreaX = static_cast<int32_t>(windowWidth / L.Scale - 240.0) / 2;
        L.AreaHeight = 240;
        L.PanelX = L.AreaX + 162;
        L.ButtonsY = 160;
        L.CellSize = SmallTileSize;
        L.CellSpriteX = 0;
        L.CellSpriteY = SmallTileY;
    } else {
        // Portrait, and square windows too: whole-number scales only, the
        // largest at which the 240 x 320 area fits across as well as down,
        // so that a tall narrow screen still shows the panel.
        L.AreaX = 0;
        L.AreaHeight = 320;
        L.PanelX = 162;
        L.ButtonsY = 236;
        L.CellSize = LargeTileSize;
        L.CellSpriteX = 0;
        L.CellSpriteY = LargeTileY;
        int32_t scale = static_cast<int32_t>(windowHeight * OneOver320);
        if (scale > windowWidth / 240) scale = windowWidth / 240;
        L.Scale = scale < 1 ? 1.0 : static_cast<double>(scale);
    }
    L.LogicalWidth = static_cast<int32_t>(windowWidth / L.Scale);
    L.LogicalHeight = static_cast<int32_t>(windowHeight / L.Scale);

    Surface play = LoadImageSurface(BITMAP_PLAY);
    Blit(Layout.BackBuffer, L.AreaX, L.AreaY, L.AreaWidth, L.AreaHeight, play, 0, 0, Copy);
    ReleaseSurface(play);

    Layout.SpriteSheet = LoadImageSurface(BITMAP_SPRITES);

    // The empty-cell pattern darkens every other pixel of the photograph.
    for (int32_t row = 0; row < 13; ++row)
        for (int32_t column = 0; column < 7; ++column)
            Blit(Layout.BackBuffer, CellX(column), CellY(row), L.CellSize, L.CellSize,
                 Layout.SpriteSheet, L.CellSpriteX + 4 * L.CellSize, L.CellSpriteY, And);

    Layout.FieldBuffer = CreateSurface(L.AreaWidth, L.AreaHeight);
    Blit(Layout.FieldBuffer, 0, 0, L.AreaWidth, L.AreaHeight, Layout.BackBuffer, L.AreaX, L.AreaY,
         Copy);
}

void WindowToLogical(int32_t x, int32_t y, int32_t* logicalX, int32_t* logicalY) {
    // Before the first layout there is no scale yet; treat it as 1.
    const double scale = Layout.Scale >= 1.0 ? Layout.Scale : 1.0;
    *logicalX = static_cast<int32_t>(x / scale);
    *logicalY = static_cast<int32_t>(y / scale);
}

void StretchToWindow(Surface& window) {
    if (window.Width != Layout.WindowWidth || window.Height != Layout.WindowHeight) return;
    RowBand band{};
    StretchChanged(Layout.BackBuffer.Pixels, Layout.LogicalWidth, Layout.LogicalHeight,
                   Layout.BackBuffer.Width, nullptr, true,
                   StretchTarget{window.Pixels, window.Width, window.Height, window.Width}, &band,
                   1);
}

void ReleaseScreen() {
    ReleaseSurface(Layout.SpriteSheet);
    ReleaseSurface(Layout.BackBuffer);
    ReleaseSurface(Layout.FieldBuffer);
}
