// SPDX-License-Identifier: GPL-3.0-or-later
// The sprite sheet (bitmap 112) and its parts. Every part paints its own
// rectangles of render/sprites.h in the sheet's 16-colour palette.
#pragma once

#include "tools/gen-assets/image.h"

#include <cstdint>

// The sheet's palette indices by name (see SheetPalette).
enum SheetInk : uint8_t {
    INK_BLACK = 0,
    INK_DARK_RED = 1,
    INK_GREEN = 2,
    INK_OLIVE = 3,
    INK_DARK_BLUE = 4,
    INK_PURPLE = 5,
    INK_TEAL = 6,
    INK_LIGHT_GREY = 7,
    INK_GREY = 8,
    INK_RED = 9,
    INK_BRIGHT_GREEN = 10,
    INK_YELLOW = 11,
    INK_BLUE = 12,
    INK_MAGENTA = 13,
    INK_CYAN = 14,
    INK_WHITE = 15,
};

IndexedImage PaintSheet();

void PaintDigits(IndexedImage& sheet);     // digits.cpp
void PaintTiles(IndexedImage& sheet);      // arrows.cpp: arrow tiles and empty-cell patterns
void PaintBoxes(IndexedImage& sheet);      // boxes.cpp: score boxes and the next frame
void PaintButtons(IndexedImage& sheet);    // buttons.cpp
void PaintLogo(IndexedImage& sheet);       // logo.cpp: the word mark and its mask
void PaintDecoration(IndexedImage& sheet); // sheet.cpp: filler and the small labels

// One arrow tile of any even size with its top-left at (x, y): arrow 1 up,
// 2 right, 3 down, 4 left. The icon draws its own sizes with it.
void PaintArrowTile(IndexedImage& image, int32_t x, int32_t y, int32_t size, int32_t arrow);
// Whether pixel (x, y) of a tile of that size is inside its octagon.
bool InTileOctagon(int32_t size, int32_t x, int32_t y);

// Sets the pixels marked '#' in the text rows to the index.
void DrawPattern(IndexedImage& image, int32_t x, int32_t y, const char* const* rows,
                 int32_t rowCount, uint8_t index);
