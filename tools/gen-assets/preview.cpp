// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/preview.h"

#include "tools/gen-assets/glyphs.h"
#include "tools/gen-assets/icon.h"
#include "tools/png.h"

#include "render/sprites.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

RgbImage ToRgb(const IndexedImage& image, const uint32_t* palette) {
    RgbImage out = MakeRgb(image.Width, image.Height, 0);
    for (size_t i = 0; i < image.Pixels.size(); i++) out.Pixels[i] = palette[image.Pixels[i]];
    return out;
}

void Enlarged(RgbImage& dst, int32_t dx, int32_t dy, const RgbImage& src, int32_t sx, int32_t sy,
              int32_t w, int32_t h, int32_t scale) {
    for (int32_t y = 0; y < h * scale; y++)
        for (int32_t x = 0; x < w * scale; x++)
            SetRgb(dst, dx + x, dy + y, GetRgb(src, sx + x / scale, sy + y / scale));
}

bool Save(const std::string& directory, const char* name, const RgbImage& image) {
    std::string path = directory + "/" + name;
    return WritePng(path.c_str(), image.Pixels.data(), image.Width, image.Height, image.Width);
}

struct Region {
    std::string Name;
    SpriteRect Rect;
};

std::vector<Region> SheetRegions() {
    static const char* const directions[4] = {"up", "right", "down", "left"};
    static const char* const buttons[9] = {"quit", "sound", "pause",   "rotate", "down",
                                           "left", "right", "options", "ninth"};
    std::vector<Region> regions;
    regions.reserve(10 + 5 + 5 + 5 + 2 * 9);
    for (int32_t d = 0; d < 10; d++)
        regions.push_back({"digit " + std::to_string(d), DigitSprite(d)});
    for (int32_t k = 1; k <= 4; k++)
        regions.push_back({std::string("arrow 16 ") + directions[k - 1], SmallArrowSprite(k)});
    regions.push_back({"empty 16", SmallEmptyCellSprite});
    for (int32_t k = 1; k <= 4; k++)
        regions.push_back({std::string("arrow 22 ") + directions[k - 1], LargeArrowSprite(k)});
    regions.push_back({"empty 22", LargeEmptyCellSprite});
    regions.push_back({"score box", ScoreBoxSprite});
    regions.push_back({"hi-score box", HighScoreBoxSprite});
    regions.push_back({"next frame", NextFrameSprite});
    regions.push_back({"logo image", LogoImageSprite});
    regions.push_back({"logo mask", LogoMaskSprite});
    for (int32_t b = 0; b < 9; b++) {
        std::string name = "btn " + std::to_string(b) + " " + buttons[b];
        SpritePos up = ButtonSpritesUp[b], down = ButtonSpritesDown[b];
        regions.push_back({name + " up", {up.x, up.y, ButtonWidths[b], ButtonHeights[b]}});
        regions.push_back({name + " down", {down.x, down.y, ButtonWidths[b], ButtonHeights[b]}});
    }
    return regions;
}

// The three icon images, see-through parts in the preview's background.
RgbImage IconStrip(uint32_t background) {
    const IconImage icons[3] = {IconPicture(32, 4), IconPicture(16, 4), IconPicture(32, 1)};
    const char* const names[3] = {"icon 32", "icon 16", "icon 32 mono"};
    const int32_t scale = 3;
    RgbImage out = MakeRgb(3 * (32 * scale + 30), 32 * scale + 14, background);
    int32_t x = 0;
    for (int32_t i = 0; i < 3; i++) {
        const IconImage& icon = icons[i];
        for (int32_t y = 0; y < icon.Picture.Height * scale; y++)
            for (int32_t k = 0; k < icon.Picture.Width * scale; k++) {
                int32_t px = k / scale, py = y / scale;
                if (GetIndex(icon.Clear, px, py)) continue;
                uint8_t index = GetIndex(icon.Picture, px, py);
                uint32_t colour = icon.Bits == 1 ? (index ? 0xFFFFFFu : 0u) : SheetPalette[index];
                SetRgb(out, x + k, y, colour);
            }
        DrawTextRgb(out, FONT_SMALL, x, icon.Picture.Height * scale + 3, names[i],
                    Rgb(235, 235, 235), 1);
        x += 32 * scale + 30;
    }
    return out;
}

RgbImage RegionsPicture(const RgbImage& sheet) {
    const int32_t scale = 3, pad = 10, width = 1000;
    const uint32_t background = Rgb(44, 50, 58), frame = Rgb(120, 130, 140),
                   ink = Rgb(235, 235, 235);
    std::vector<Region> regions = SheetRegions();
    // First pass places the cells, the second draws them.
    struct Cell {
        int32_t X, Y;
    };
    std::vector<Cell> cells;
    int32_t x = pad, y = pad, rowHeight = 0;
    for (const Region& r : regions) {
        int32_t w = std::max(r.Rect.w * scale + 2, TextWidthPixels(FONT_SMALL, r.Name.c_str()));
        int32_t h = r.Rect.h * scale + 2 + 12;
        if (x + w > width - pad) {
            x = pad;
            y += rowHeight + pad;
            rowHeight = 0;
        }
        cells.push_back({x, y});
        x += w + pad * 2;
        rowHeight = std::max(rowHeight, h);
    }
    RgbImage icons = IconStrip(background);
    const int32_t iconsY = y + rowHeight + pad * 2;
    RgbImage out = MakeRgb(width, iconsY + icons.Height + pad, background);
    for (int32_t j = 0; j < icons.Height; j++)
        for (int32_t i = 0; i < icons.Width; i++)
            SetRgb(out, pad + i, iconsY + j, GetRgb(icons, i, j));
    for (size_t i = 0; i < regions.size(); i++) {
        const SpriteRect& r = regions[i].Rect;
        int32_t cx = cells[i].X, cy = cells[i].Y;
        for (int32_t j = 0; j < r.h * scale + 2; j++)
            for (int32_t k = 0; k < r.w * scale + 2; k++) SetRgb(out, cx + k, cy + j, frame);
        Enlarged(out, cx + 1, cy + 1, sheet, r.x, r.y, r.w, r.h, scale);
        DrawTextRgb(out, FONT_SMALL, cx, cy + r.h * scale + 4, regions[i].Name.c_str(), ink, 1);
    }
    return out;
}

// ---- the screens as the game puts them together ----

void Copy(RgbImage& dst, int32_t dx, int32_t dy, const RgbImage& src, SpriteRect r) {
    for (int32_t y = 0; y < r.h; y++)
        for (int32_t x = 0; x < r.w; x++)
            SetRgb(dst, dx + x, dy + y, GetRgb(src, r.x + x, r.y + y));
}

void And(RgbImage& dst, int32_t dx, int32_t dy, const RgbImage& src, SpriteRect r) {
    for (int32_t y = 0; y < r.h; y++)
        for (int32_t x = 0; x < r.w; x++)
            SetRgb(dst, dx + x, dy + y,
                   GetRgb(dst, dx + x, dy + y) & GetRgb(src, r.x + x, r.y + y));
}

void Paint(RgbImage& dst, int32_t dx, int32_t dy, const RgbImage& src, SpriteRect r) {
    for (int32_t y = 0; y < r.h; y++)
        for (int32_t x = 0; x < r.w; x++)
            SetRgb(dst, dx + x, dy + y,
                   GetRgb(dst, dx + x, dy + y) | GetRgb(src, r.x + x, r.y + y));
}

void Button(RgbImage& dst, const RgbImage& sheet, int32_t b, int32_t x, int32_t y, bool down) {
    SpritePos p = down ? ButtonSpritesDown[b] : ButtonSpritesUp[b];
    Copy(dst, x, y, sheet, {p.x, p.y, ButtonWidths[b], ButtonHeights[b]});
}

void Digits(RgbImage& dst, const RgbImage& sheet, int32_t value, int32_t x, int32_t y) {
    int32_t divisor = 1000000;
    for (int32_t k = 0; k < 7; k++) {
        int32_t d = (value / divisor) % 10;
        And(dst, x + 8 * k, y, sheet, DigitSprite(d));
        divisor /= 10;
    }
}

RgbImage PlayScreen(const RgbImage& sheet, const RgbImage& play, bool portrait) {
    const int32_t height = portrait ? 320 : 240, cell = portrait ? 22 : 16;
    const int32_t buttonsY = portrait ? 236 : 160, px = 162, right = 240;
    RgbImage out = MakeRgb(240, height, 0);
    Copy(out, 0, 0, play, {0, 0, 240, height});
    SpriteRect empty = portrait ? LargeEmptyCellSprite : SmallEmptyCellSprite;
    for (int32_t j = 0; j < 13; j++)
        for (int32_t i = 0; i < 7; i++) And(out, 4 + i * cell, 4 + j * cell, sheet, empty);
    // A few settled arrows and the falling pair.
    const int32_t settled[][3] = {{0, 12, 1}, {1, 12, 2}, {2, 12, 3}, {3, 12, 4}, {4, 12, 1},
                                  {6, 12, 3}, {0, 11, 4}, {1, 11, 4}, {3, 11, 2}, {6, 11, 2},
                                  {0, 10, 3}, {3, 3, 1},  {3, 4, 2}};
    for (const auto& a : settled) {
        SpriteRect s = portrait ? LargeArrowSprite(a[2]) : SmallArrowSprite(a[2]);
        Copy(out, 4 + a[0] * cell, 4 + a[1] * cell, sheet, s);
    }
    Copy(out, px + 16, 24, sheet, NextFrameSprite);
    Copy(out, px + 24, 38, sheet, SmallArrowSprite(3));
    Copy(out, px + 24, 54, sheet, SmallArrowSprite(4));
    for (int32_t y = 77; y < 93; y++)
        for (int32_t x = px; x < px + 64; x++) SetRgb(out, x, y, Rgb(255, 255, 255));
    DrawTextRgb(out, FONT_SMALL, px + 20, 80, "12 pt", 0, 1);
    Copy(out, px, 97, sheet, ScoreBoxSprite);
    Digits(out, sheet, 1234, px + 4, 112);
    Copy(out, px, 128, sheet, HighScoreBoxSprite);
    Digits(out, sheet, 56789, px + 4, 143);
    Button(out, sheet, 0, right - 16, 0, false);
    Button(out, sheet, 1, right - 48, 0, true);
    Button(out, sheet, 7, right - 32, 0, false);
    Button(out, sheet, 2, px + 8, buttonsY, false);
    Button(out, sheet, 3, px + 22, buttonsY + 18, false);
    Button(out, sheet, 4, px + 22, buttonsY + 34, true);
    Button(out, sheet, 5, px + 2, buttonsY + 34, false);
    Button(out, sheet, 6, px + 42, buttonsY + 34, false);
    return out;
}

RgbImage TitleScreen(const RgbImage& sheet, const RgbImage& title, bool portrait) {
    const int32_t height = portrait ? 320 : 240;
    RgbImage out = MakeRgb(240, height, 0);
    Copy(out, 0, 0, title, {0, 0, 240, height});
    const int32_t x = 56, y = height / 2 - 16, top = (height / 4) * 3;
    Paint(out, x, y, sheet, LogoMaskSprite);
    And(out, x, y, sheet, LogoImageSprite);
    for (int32_t j = top; j < top + 16; j++)
        for (int32_t i = x; i < x + 128; i++) SetRgb(out, i, j, Rgb(255, 255, 255));
    DrawTextRgb(out, FONT_SMALL, x + 30, top + 4, "hit a key to start", 0, 1);
    Button(out, sheet, 0, 224, 0, false);
    Button(out, sheet, 1, 192, 0, false);
    Button(out, sheet, 7, 208, 0, false);
    return out;
}

// Landscape and portrait side by side, doubled.
RgbImage SideBySide(const RgbImage& landscape, const RgbImage& portrait) {
    RgbImage out = MakeRgb(2 * (240 + 8 + 240), 2 * 320, Rgb(30, 30, 30));
    Enlarged(out, 0, 0, landscape, 0, 0, 240, 240, 2);
    Enlarged(out, 2 * 248, 0, portrait, 0, 0, 240, 320, 2);
    return out;
}

} // namespace

bool WritePreviews(const char* directory, const IndexedImage& sheet, const PalettedImage& title,
                   const PalettedImage& play) {
    const std::string dir = directory;
    RgbImage sheetRgb = ToRgb(sheet, SheetPalette);
    RgbImage titleRgb = ToRgb(title.Image, title.Palette.data());
    RgbImage playRgb = ToRgb(play.Image, play.Palette.data());

    RgbImage big = MakeRgb(sheet.Width * 4, sheet.Height * 4, 0);
    Enlarged(big, 0, 0, sheetRgb, 0, 0, sheet.Width, sheet.Height, 4);

    bool ok = Save(dir, "sheet-4x.png", big);
    ok = Save(dir, "title.png", titleRgb) && ok;
    ok = Save(dir, "play.png", playRgb) && ok;
    ok = Save(dir, "regions.png", RegionsPicture(sheetRgb)) && ok;
    ok = Save(dir, "screen-title.png",
              SideBySide(TitleScreen(sheetRgb, titleRgb, false),
                         TitleScreen(sheetRgb, titleRgb, true))) &&
         ok;
    ok = Save(dir, "screen-play.png",
              SideBySide(PlayScreen(sheetRgb, playRgb, false),
                         PlayScreen(sheetRgb, playRgb, true))) &&
         ok;
    return ok;
}
