// SPDX-License-Identifier: GPL-3.0-or-later
// The generator's own lettering: a small proportional font for labels and
// the preview, and a bold capital font for the sheet's box labels.
#pragma once

#include "tools/gen-assets/image.h"

#include <cstdint>

enum GlyphFont : int32_t {
    FONT_SMALL = 0, // lower case, digits, a little punctuation; 7 rows above the baseline, 2 below
    FONT_BOLD = 1,  // the capitals and the few lower-case letters the labels use; 8 rows
};

int32_t TextWidthPixels(int32_t font, const char* text);
int32_t FontRows(int32_t font);

// Calls plot(x, y) for every inked pixel of the text with its top-left at
// (x, y), one pixel between letters.
template <typename Plot>
void ForEachInk(int32_t font, int32_t x, int32_t y, const char* text, const Plot& plot);

void DrawTextIndexed(IndexedImage& image, int32_t font, int32_t x, int32_t y, const char* text,
                     uint8_t index);
// Drawn with each font pixel a scale x scale block.
void DrawTextRgb(RgbImage& image, int32_t font, int32_t x, int32_t y, const char* text,
                 uint32_t colour, int32_t scale);

// ---- implementation of the template ----

// The rows of a character's glyph, nullptr when the font lacks it.
const char* const* GlyphRows(int32_t font, char c);

template <typename Plot>
void ForEachInk(int32_t font, int32_t x, int32_t y, const char* text, const Plot& plot) {
    int32_t pen = x;
    for (const char* p = text; *p != 0; p++) {
        const char* const* rows = GlyphRows(font, *p);
        if (rows == nullptr) {
            pen += 3;
            continue;
        }
        int32_t width = 0;
        while (rows[0][width] != 0) width++;
        for (int32_t j = 0; j < FontRows(font); j++)
            for (int32_t i = 0; i < width && rows[j][i] != 0; i++)
                if (rows[j][i] == '#') plot(pen + i, y + j);
        pen += width + 1;
    }
}
