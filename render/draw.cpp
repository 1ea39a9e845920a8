// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/draw.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "input/buttons.h"
#include "render/buttons.h"
#include "render/layout.h"
#include "render/sprites.h"

namespace {
void BlitSprite(const SpriteRect& r, int32_t x, int32_t y, RasterOp op) {
    Blit(Layout.BackBuffer, x, y, r.w, r.h, Layout.SpriteSheet, r.x, r.y, op);
}

} // namespace

void DrawPlayfield() {
    const ScreenLayout& L = Layout;
    // Play draws only the game area; what the title left around it (on a
    // window taller than the area, its prompt below it) goes.
    const int32_t w = L.BackBuffer.Width, h = L.BackBuffer.Height;
    const int32_t right = L.AreaX + L.AreaWidth, bottom = L.AreaY + L.AreaHeight;
    Fill(Layout.BackBuffer, 0, 0, w, L.AreaY, Blackness);
    Fill(Layout.BackBuffer, 0, bottom, w, h - bottom, Blackness);
    Fill(Layout.BackBuffer, 0, L.AreaY, L.AreaX, L.AreaHeight, Blackness);
    Fill(Layout.BackBuffer, right, L.AreaY, w - right, L.AreaHeight, Blackness);
    Blit(Layout.BackBuffer, L.AreaX, L.AreaY, L.AreaWidth, L.AreaHeight, Layout.FieldBuffer, 0, 0,
         Copy);
    BlitSprite(NextFrameSprite, L.PanelX + NextFrameX, L.AreaY + NextFrameY, Copy);
    for (int32_t i = 0; Buttons.Table[i].key != 0; ++i) DrawButton(i, 0);
    DrawMessage();
    DrawScore();
    DrawHighScore();
}

void DrawTitleScreen() {
    const ScreenLayout& L = Layout;
    Surface title = LoadImageSurface(BITMAP_TITLE);
    Blit(Layout.BackBuffer, L.AreaX, L.AreaY, L.AreaWidth, L.AreaHeight, title, 0, 0, Copy);
    ReleaseSurface(title);

    // The mask whitens the logo's shape, then the image colours it in; the
    // picture around it stays as it was.
    const int32_t x = (L.LogicalWidth - 128) / 2;
    const int32_t y = L.LogicalHeight / 2 - 16;
    BlitSprite(LogoMaskSprite, x, y, Paint);
    BlitSprite(LogoImageSprite, x, y, And);

    const int32_t top = (L.LogicalHeight / 4) * 3;
    DrawTextInRect(Layout.BackBuffer, " Hit a Key to Start ", TextRect{x, top, x + 128, top + 16});

    DrawButton(BUTTON_QUIT, 0);
    DrawButton(BUTTON_SOUND, 0);
    DrawButton(BUTTON_OPTIONS, 0);
}

void DrawMessage() {
    const int32_t x = Layout.PanelX, y = Layout.AreaY + MessageBoxY;
    Fill(Layout.BackBuffer, x, y, MessageBoxWidth, MessageBoxHeight, Whiteness);
    DrawTextInRect(Layout.BackBuffer, Match.Message,
                   TextRect{x, y, x + MessageBoxWidth, y + MessageBoxHeight});
}

void DrawScore() {
    BlitSprite(ScoreBoxSprite, Layout.PanelX, Layout.AreaY + ScoreBoxY, Copy);
    DrawDigits(Board.PanelScore, Layout.PanelX + 4, Layout.AreaY + ScoreDigitsY);
}

void DrawHighScore() {
    BlitSprite(HighScoreBoxSprite, Layout.PanelX, Layout.AreaY + HighScoreBoxY, Copy);
    DrawDigits(Board.HighScore, Layout.PanelX + 4, Layout.AreaY + HighScoreDigitsY);
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
    Blit(Layout.BackBuffer, CellX(column), CellY(row), L.CellSize, L.CellSize, Layout.SpriteSheet,
         L.CellSpriteX + (arrow - 1) * L.CellSize, L.CellSpriteY, Copy);
}

void EraseCell(int32_t column, int32_t row) {
    const int32_t size = Layout.CellSize;
    Blit(Layout.BackBuffer, CellX(column), CellY(row), size, size, Layout.FieldBuffer,
         4 + column * size, 4 + row * size, Copy);
}

void DrawOrEraseCell(int32_t column, int32_t row, int32_t arrow) {
    if (arrow == ARROW_NONE)
        EraseCell(column, row);
    else
        DrawCell(column, row, arrow);
}

void DrawPair() {
    DrawCell(Board.Pair.PairColumn, Board.Pair.PairRow, Board.Pair.CurrentTop);
    DrawCell(Board.Pair.PairColumn, Board.Pair.PairRow + 1, Board.Pair.CurrentBottom);
}

void ErasePair() {
    const int32_t size = Layout.CellSize;
    const int32_t column = Board.Pair.PairColumn, row = Board.Pair.PairRow;
    Blit(Layout.BackBuffer, CellX(column), CellY(row), size, 2 * size, Layout.FieldBuffer,
         4 + column * size, 4 + row * size, Copy);
}

void DrawNextPair() {
    const int32_t x = Layout.PanelX + NextTopX;
    if (IsArrow(Board.Pair.NextTop))
        BlitSprite(SmallArrowSprite(Board.Pair.NextTop), x, Layout.AreaY + NextTopY, Copy);
    if (IsArrow(Board.Pair.NextBottom))
        BlitSprite(SmallArrowSprite(Board.Pair.NextBottom), x, Layout.AreaY + NextBottomY, Copy);
}
