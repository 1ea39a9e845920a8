// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/draw.h"

#include "game/board.h"
#include "input/buttons.h"
#include "render/layout.h"
#include "render/sprites.h"

#include <cstring>

namespace {
char MessageText[32];

void BlitSprite(const SpriteRect& r, int32_t x, int32_t y, RasterOp op) {
    Blit(BackBuffer, x, y, r.w, r.h, SpriteSheet, r.x, r.y, op);
}

bool IsArrow(int32_t arrow) { return arrow >= ARROW_UP && arrow <= ARROW_LEFT; }
} // namespace

const char* LastMessage() { return MessageText; }

void DrawPlayfield() {
    const ScreenLayout& L = Layout;
    Blit(BackBuffer, L.AreaX, L.AreaY, L.AreaWidth, L.AreaHeight, FieldBuffer, 0, 0, Copy);
    BlitSprite(NextFrameSprite, L.PanelX + NextFrameX, L.AreaY + NextFrameY, Copy);
    // The model matches the empty well just drawn.
    ResetBoard();
    for (int32_t i = 0; ButtonTable[i].key != 0; ++i) DrawButton(i, 0);
    ShowMessage("");
    DrawScore();
    DrawHighScore();
}

void DrawTitleScreen() {
    const ScreenLayout& L = Layout;
    Surface title = LoadImageSurface(BITMAP_TITLE);
    Blit(BackBuffer, L.AreaX, L.AreaY, L.AreaWidth, L.AreaHeight, title, 0, 0, Copy);
    ReleaseSurface(title);

    // The mask whitens the logo's shape, then the image colours it in; the
    // picture around it stays as it was.
    const int32_t x = (L.LogicalWidth - 128) / 2;
    const int32_t y = L.LogicalHeight / 2 - 16;
    BlitSprite(LogoMaskSprite, x, y, Paint);
    BlitSprite(LogoImageSprite, x, y, And);

    const int32_t top = (L.LogicalHeight / 4) * 3;
    DrawTextInRect(BackBuffer, " Hit a Key to Start ", TextRect{x, top, x + 128, top + 16});

    DrawButton(BUTTON_QUIT, 0);
    DrawButton(BUTTON_SOUND, 0);
    DrawButton(BUTTON_OPTIONS, 0);
}

void ShowMessage(const char* text) {
    if (text == nullptr) text = "";
    std::strncpy(MessageText, text, sizeof MessageText - 1);
    MessageText[sizeof MessageText - 1] = 0;
    const int32_t x = Layout.PanelX, y = Layout.AreaY + MessageBoxY;
    Fill(BackBuffer, x, y, MessageBoxWidth, MessageBoxHeight, Whiteness);
    DrawTextInRect(BackBuffer, text, TextRect{x, y, x + MessageBoxWidth, y + MessageBoxHeight});
}

void DrawScore() {
    BlitSprite(ScoreBoxSprite, Layout.PanelX, Layout.AreaY + ScoreBoxY, Copy);
    DrawDigits(Score, Layout.PanelX + 4, Layout.AreaY + ScoreDigitsY);
}

void DrawHighScore() {
    BlitSprite(HighScoreBoxSprite, Layout.PanelX, Layout.AreaY + HighScoreBoxY, Copy);
    // The only place the high score rises.
    if (HighScore < Score) HighScore = Score;
    DrawDigits(HighScore, Layout.PanelX + 4, Layout.AreaY + HighScoreDigitsY);
}

void DrawDigits(int32_t value, int32_t x, int32_t y) {
    // Seven digits, leading zeros included: the value modulo ten million.
    int32_t v = value - (value / 10000000) * 10000000;
    int32_t divisor = 1000000;
    for (int32_t k = 0; k < 7; ++k) {
        const int32_t digit = v / divisor;
        v -= digit * divisor;
        // A negative value has no digit sprites; its places stay white.
        if (digit >= 0) BlitSprite(DigitSprite(digit), x + 8 * k, y, And);
        divisor /= 10;
    }
}

void DrawCell(int32_t column, int32_t row, int32_t arrow) {
    if (!IsArrow(arrow)) return; // empty cells are erased, never drawn
    const ScreenLayout& L = Layout;
    Blit(BackBuffer, CellX(column), CellY(row), L.CellSize, L.CellSize, SpriteSheet,
         L.CellSpriteX + (arrow - 1) * L.CellSize, L.CellSpriteY, Copy);
}

void EraseCell(int32_t column, int32_t row) {
    const int32_t size = Layout.CellSize;
    Blit(BackBuffer, CellX(column), CellY(row), size, size, FieldBuffer, 4 + column * size,
         4 + row * size, Copy);
}

void DrawPair() {
    DrawCell(FallingPair.PairColumn, FallingPair.PairRow, FallingPair.CurrentTop);
    DrawCell(FallingPair.PairColumn, FallingPair.PairRow + 1, FallingPair.CurrentBottom);
}

void ErasePair() {
    const int32_t size = Layout.CellSize;
    const int32_t column = FallingPair.PairColumn, row = FallingPair.PairRow;
    Blit(BackBuffer, CellX(column), CellY(row), size, 2 * size, FieldBuffer, 4 + column * size,
         4 + row * size, Copy);
}

void DrawNextPair() {
    const int32_t x = Layout.PanelX + NextTopX;
    if (IsArrow(FallingPair.NextTop))
        BlitSprite(SmallArrowSprite(FallingPair.NextTop), x, Layout.AreaY + NextTopY, Copy);
    if (IsArrow(FallingPair.NextBottom))
        BlitSprite(SmallArrowSprite(FallingPair.NextBottom), x, Layout.AreaY + NextBottomY, Copy);
}
