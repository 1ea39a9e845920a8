// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/sheet.h"

#include "tools/gen-assets/glyphs.h"

#include "render/sprites.h"

void DrawPattern(IndexedImage& image, int32_t x, int32_t y, const char* const* rows,
                 int32_t rowCount, uint8_t index) {
    for (int32_t j = 0; j < rowCount; j++)
        for (int32_t i = 0; rows[j][i] != 0; i++)
            if (rows[j][i] == '#') SetIndex(image, x + i, y + j, index);
}

void PaintDecoration(IndexedImage& sheet) {
    // Grey where nothing is drawn; the digits' white runs on under the
    // "pts" label, the boxes' green fills the strip beside and above them.
    FillIndex(sheet, 0, 0, SpriteSheetWidth, SpriteSheetHeight, INK_LIGHT_GREY);
    FillIndex(sheet, 0, 0, 112, 16, INK_WHITE);
    DrawTextIndexed(sheet, FONT_SMALL, 82, 2, "pts", INK_BLACK);
    FillIndex(sheet, 80, 16, 32, 16, INK_WHITE);
    DrawTextIndexed(sheet, FONT_SMALL, 82, 20, "vantle", INK_RED);
    FillIndex(sheet, 0, 32, SpriteSheetWidth, 3, INK_GREEN);
    FillIndex(sheet, 128, 32, 16, 32, INK_GREEN);
}

IndexedImage PaintSheet() {
    IndexedImage sheet = MakeIndexed(SpriteSheetWidth, SpriteSheetHeight, INK_LIGHT_GREY);
    PaintDecoration(sheet);
    PaintDigits(sheet);
    PaintTiles(sheet);
    PaintBoxes(sheet);
    PaintLogo(sheet);
    PaintButtons(sheet);
    return sheet;
}
