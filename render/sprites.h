// SPDX-License-Identifier: GPL-3.0-or-later
// Where every picture lives in the sprite sheet (bitmap 112, 144 x 198,
// 16 colours). A replacement sheet drawn to these same rectangles works
// unchanged.
#pragma once

#include "res/ids.h"

#include <cstdint>

struct SpriteRect {
    int32_t x, y, w, h;
};

constexpr int32_t SpriteSheetWidth = 144;
constexpr int32_t SpriteSheetHeight = 198;

// Digit d (0..9): black on white, drawn with And.
constexpr SpriteRect DigitSprite(int32_t d) { return {8 * d, 0, 8, 12}; }

// Arrow tiles: k = 1 up, 2 right, 3 down, 4 left. The fifth tile of each row
// is the empty-cell checkerboard, drawn with And.
constexpr int32_t SmallTileY = 16, SmallTileSize = 16;
constexpr int32_t LargeTileY = 176, LargeTileSize = 22;
constexpr SpriteRect SmallArrowSprite(int32_t k) { return {16 * (k - 1), 16, 16, 16}; }
constexpr SpriteRect LargeArrowSprite(int32_t k) { return {22 * (k - 1), 176, 22, 22}; }
constexpr SpriteRect SmallEmptyCellSprite = {64, 16, 16, 16};  // black at its top-left pixel
constexpr SpriteRect LargeEmptyCellSprite = {88, 176, 22, 22}; // white at its top-left pixel

constexpr SpriteRect ScoreBoxSprite = {0, 35, 64, 29};
constexpr SpriteRect HighScoreBoxSprite = {64, 35, 64, 29};
constexpr SpriteRect NextFrameSprite = {0, 64, 32, 48};
constexpr SpriteRect LogoImageSprite = {0, 112, 128, 32}; // drawn with And
constexpr SpriteRect LogoMaskSprite = {0, 144, 128, 32};  // drawn with Paint

// Button sprites by button index (0..9; entry 9 belongs to the table's end).
// Each sprite has its button's own width and height.
struct SpritePos {
    int32_t x, y;
};
constexpr SpritePos ButtonSpritesUp[10] = {{128, 0}, {128, 16}, {32, 96},  {32, 64},   {51, 64},
                                           {70, 64}, {89, 64},  {128, 64}, {128, 128}, {0, 0}};
constexpr SpritePos ButtonSpritesDown[10] = {{112, 0}, {112, 16}, {80, 96},  {32, 80},   {51, 80},
                                             {70, 80}, {89, 80},  {112, 64}, {128, 112}, {0, 0}};
// Sizes of the nine buttons, in the same order.
constexpr int32_t ButtonWidths[10] = {16, 16, 48, 20, 20, 20, 20, 16, 16, 0};
constexpr int32_t ButtonHeights[10] = {16, 16, 16, 17, 17, 17, 17, 16, 16, 0};

// The sheet's palette, 0x00RRGGBB by index.
constexpr uint32_t SheetPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
