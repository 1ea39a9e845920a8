// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's boxes: SCORE and Hi-Sc with their white digit fields, and the
// NEXT frame with its black well for the coming pair.
#include "tools/gen-assets/sheet.h"

#include "tools/gen-assets/glyphs.h"

#include "render/sprites.h"

namespace {

// Red capitals with a black drop shadow, so they read on the green.
void DrawLabel(IndexedImage& sheet, int32_t centreX, int32_t y, const char* text) {
    int32_t x = centreX - TextWidthPixels(FONT_BOLD, text) / 2;
    DrawTextIndexed(sheet, FONT_BOLD, x + 1, y + 1, text, INK_BLACK);
    DrawTextIndexed(sheet, FONT_BOLD, x, y, text, INK_RED);
}

// A green plate: bright edge at the top and left, dark green below and
// right.
void GreenPlate(IndexedImage& sheet, const SpriteRect& r) {
    FillIndex(sheet, r.x, r.y, r.w, r.h, INK_GREEN);
    FillIndex(sheet, r.x, r.y, r.w, 1, INK_BRIGHT_GREEN);
    FillIndex(sheet, r.x, r.y, 1, r.h, INK_BRIGHT_GREEN);
}

void ScoreBox(IndexedImage& sheet, const SpriteRect& r, const char* label) {
    GreenPlate(sheet, r);
    DrawLabel(sheet, r.x + r.w / 2, r.y + 3, label);
    // The field the seven digits are drawn into with And.
    FillIndex(sheet, r.x + 1, r.y + 14, 62, 14, INK_WHITE);
}

void NextFrame(IndexedImage& sheet, const SpriteRect& r) {
    GreenPlate(sheet, r);
    DrawLabel(sheet, r.x + r.w / 2, r.y + 3, "NEXT");
    // A sunken grey rim round the black well.
    FillIndex(sheet, r.x + 6, r.y + 12, 20, 36, INK_GREY);
    FillIndex(sheet, r.x + 7, r.y + 47, 19, 1, INK_LIGHT_GREY);
    FillIndex(sheet, r.x + 25, r.y + 13, 1, 35, INK_LIGHT_GREY);
    FillIndex(sheet, r.x + 7, r.y + 13, 18, 34, INK_BLACK);
}

} // namespace

void PaintBoxes(IndexedImage& sheet) {
    ScoreBox(sheet, ScoreBoxSprite, "SCORE");
    ScoreBox(sheet, HighScoreBoxSprite, "Hi-Sc");
    NextFrame(sheet, NextFrameSprite);
}
