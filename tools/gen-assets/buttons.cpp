// SPDX-License-Identifier: GPL-3.0-or-later
// The on-screen buttons, each in its up and down look: the close box, the
// sound switch, the pause bar, the four blue control keys, the options key
// and the headphones of the unused ninth button.
#include "tools/gen-assets/sheet.h"

#include "tools/gen-assets/glyphs.h"
#include "tools/gen-assets/shapes.h"

#include "input/buttons.h"
#include "render/sprites.h"

namespace {

// A grey key: raised with light upper-left edges, or sunken with dark ones.
// Returns the offset of its face (content moves one pixel when pressed).
int32_t GreyKey(IndexedImage& s, int32_t x, int32_t y, int32_t w, int32_t h, bool down) {
    FillIndex(s, x, y, w, h, INK_LIGHT_GREY);
    if (!down) {
        FillIndex(s, x, y, w, 1, INK_WHITE);
        FillIndex(s, x, y, 1, h, INK_WHITE);
        FillIndex(s, x, y + h - 1, w, 1, INK_BLACK);
        FillIndex(s, x + w - 1, y, 1, h, INK_BLACK);
        FillIndex(s, x + 1, y + h - 2, w - 2, 1, INK_GREY);
        FillIndex(s, x + w - 2, y + 1, 1, h - 2, INK_GREY);
        return 0;
    }
    FillIndex(s, x, y, w, 1, INK_BLACK);
    FillIndex(s, x, y, 1, h, INK_BLACK);
    FillIndex(s, x + 1, y + 1, w - 2, 1, INK_GREY);
    FillIndex(s, x + 1, y + 1, 1, h - 2, INK_GREY);
    FillIndex(s, x, y + h - 1, w, 1, INK_WHITE);
    FillIndex(s, x + w - 1, y, 1, h, INK_WHITE);
    return 1;
}

// ---- close box ----

void CloseBox(IndexedImage& s, SpritePos p, bool down) {
    int32_t o = GreyKey(s, p.x, p.y, 16, 16, down);
    for (int32_t i = 0; i < 7; i++) {
        // Two-pixel diagonals: a bold cross.
        SetIndex(s, p.x + 4 + i + o, p.y + 4 + i + o, INK_BLACK);
        SetIndex(s, p.x + 5 + i + o, p.y + 4 + i + o, INK_BLACK);
        SetIndex(s, p.x + 11 - i + o, p.y + 4 + i + o, INK_BLACK);
        SetIndex(s, p.x + 10 - i + o, p.y + 4 + i + o, INK_BLACK);
    }
}

// ---- sound switch ----

// The loudspeaker: '0' outline, 'x' body (filled with the body's ink).
// clang-format off
constexpr const char* SpeakerRows[] = {
    "......0",
    ".....00",
    "....0x0",
    "0000xx0",
    "0xxxxx0",
    "0xxxxx0",
    "0xxxxx0",
    "0000xx0",
    "....0x0",
    ".....00",
    "......0",
};
// clang-format on
// clang-format off
constexpr const char* WaveRows[] = {
    ".....",
    ".0...",
    "..0..",
    "0..0.",
    ".0.0.",
    ".0.0.",
    ".0.0.",
    "0..0.",
    "..0..",
    ".0...",
    ".....",
};
// clang-format on
// clang-format off
constexpr const char* MuteRows[] = {
    "99...99",
    "999.999",
    ".99999.",
    "..999..",
    ".99999.",
    "999.999",
    "99...99",
};
// clang-format on

void Speaker(IndexedImage& s, int32_t x, int32_t y, uint8_t body) {
    for (int32_t j = 0; j < 11; j++)
        for (int32_t i = 0; SpeakerRows[j][i] != 0; i++) {
            char c = SpeakerRows[j][i];
            if (c == '0')
                SetIndex(s, x + i, y + j, INK_BLACK);
            else if (c == 'x')
                SetIndex(s, x + i, y + j, body);
        }
}

void SoundSwitch(IndexedImage& s, SpritePos p, bool on) {
    int32_t o = GreyKey(s, p.x, p.y, 16, 16, on);
    if (on) {
        Speaker(s, p.x + 2 + o, p.y + 2 + o, INK_YELLOW);
        DrawArt(s, p.x + 9 + o, p.y + 2 + o, WaveRows, 11);
    } else {
        Speaker(s, p.x + 2, p.y + 2, INK_GREY);
        DrawArt(s, p.x + 7, p.y + 4, MuteRows, 7);
    }
}

// ---- pause bar ----

void PauseBar(IndexedImage& s, SpritePos p, bool paused) {
    // The black outline's top row is also the bottom row of the down keys
    // above it.
    FillIndex(s, p.x, p.y, 48, 16, paused ? INK_YELLOW : INK_OLIVE);
    FrameIndex(s, p.x, p.y, 48, 16, INK_BLACK);
    int32_t x = p.x + (48 - TextWidthPixels(FONT_BOLD, "PAUSE")) / 2;
    if (paused) {
        FillIndex(s, p.x + 1, p.y + 14, 46, 1, INK_OLIVE);
        FillIndex(s, p.x + 46, p.y + 1, 1, 14, INK_OLIVE);
        DrawTextIndexed(s, FONT_BOLD, x + 1, p.y + 5, "PAUSE", INK_DARK_RED);
        DrawTextIndexed(s, FONT_BOLD, x, p.y + 4, "PAUSE", INK_RED);
    } else {
        DrawTextIndexed(s, FONT_BOLD, x, p.y + 4, "PAUSE", INK_DARK_RED);
    }
}

// ---- the four blue keys ----

// clang-format off
constexpr const char* DownRows[] = {
    "...####...",
    "...####...",
    "...####...",
    "...####...",
    "##########",
    ".########.",
    "..######..",
    "...####...",
    "....##....",
};
// clang-format on

// The '#' of the rows turned a quarter clockwise `turns` times.
void DrawTurned(IndexedImage& s, int32_t x, int32_t y, const char* const* rows, int32_t h,
                int32_t w, int32_t turns, uint8_t ink) {
    for (int32_t j = 0; j < h; j++)
        for (int32_t i = 0; i < w; i++) {
            if (rows[j][i] != '#') continue;
            int32_t u = i, v = j, cw = w, ch = h;
            for (int32_t t = 0; t < turns; t++) {
                int32_t nu = ch - 1 - v, nv = u;
                u = nu;
                v = nv;
                int32_t tmp = cw;
                cw = ch;
                ch = tmp;
            }
            SetIndex(s, x + u, y + v, ink);
        }
}

// The turning arrow: three quarters of a ring, open at the upper right,
// its top end an arrowhead pointing on clockwise.
// clang-format off
constexpr const char* TurnRows[] = {
    ".....#......",
    ".....##.....",
    "..######....",
    ".#######....",
    ".##..##.....",
    "##...#......",
    "##........##",
    "##........##",
    "##........##",
    ".##......##.",
    ".###....###.",
    "..########..",
    "....####....",
};
// clang-format on

void BlueKey(IndexedImage& s, SpritePos p, int32_t button, bool down) {
    // 20 x 17 with a black border; neighbours share their border columns and
    // the two rows share row 80.
    FillIndex(s, p.x, p.y, 20, 17, INK_BLUE);
    FrameIndex(s, p.x, p.y, 20, 17, INK_BLACK);
    int32_t o = down ? 1 : 0;
    if (!down) {
        FillIndex(s, p.x + 1, p.y + 1, 17, 1, INK_CYAN);
        FillIndex(s, p.x + 1, p.y + 1, 1, 14, INK_CYAN);
        FillIndex(s, p.x + 1, p.y + 15, 18, 1, INK_DARK_BLUE);
        FillIndex(s, p.x + 18, p.y + 1, 1, 15, INK_DARK_BLUE);
    } else {
        FillIndex(s, p.x + 1, p.y + 1, 18, 1, INK_DARK_BLUE);
        FillIndex(s, p.x + 1, p.y + 1, 1, 15, INK_DARK_BLUE);
    }
    switch (button) {
    case BUTTON_ROTATE:
        DrawTurned(s, p.x + 4 + o, p.y + 2 + o, TurnRows, 13, 12, 0, INK_WHITE);
        break;
    case BUTTON_DROP: DrawTurned(s, p.x + 5 + o, p.y + 4 + o, DownRows, 9, 10, 0, INK_WHITE); break;
    case BUTTON_LEFT: DrawTurned(s, p.x + 5 + o, p.y + 3 + o, DownRows, 9, 10, 1, INK_WHITE); break;
    default: DrawTurned(s, p.x + 5 + o, p.y + 3 + o, DownRows, 9, 10, 3, INK_WHITE); break;
    }
}

// ---- options key ----

// A spanner lying from lower left to upper right, its open jaw up right.
Mask SpannerMask() {
    auto inside = [](int32_t px, int32_t py) {
        bool handle = InCapsule(px, py, Centre(2), Centre(9), Centre(6), Centre(5), Sub * 3 / 2);
        bool head = InDisc(px, py, Centre(7) + Sub / 2, Centre(3) + Sub / 2, Sub * 3);
        bool jaw = InCapsule(px, py, Centre(8), Centre(3), Centre(11), Centre(0), Sub + Sub / 4);
        return (handle || head) && !jaw;
    };
    return Rasterize(12, 12, 8, inside);
}

void OptionsKey(IndexedImage& s, SpritePos p, bool down) {
    int32_t o = GreyKey(s, p.x, p.y, 16, 16, down);
    Mask body = SpannerMask();
    Mask outline = Subtract(Dilate(body, true), body);
    for (int32_t j = 0; j < 12; j++)
        for (int32_t i = 0; i < 12; i++) {
            if (MaskAt(body, i, j))
                SetIndex(s, p.x + 2 + i + o, p.y + 2 + j + o, INK_YELLOW);
            else if (MaskAt(outline, i, j))
                SetIndex(s, p.x + 2 + i + o, p.y + 2 + j + o, INK_BLACK);
        }
}

// ---- the ninth button: headphones ----

// clang-format off
constexpr const char* HeadphoneRows[] = {
    "....####....",
    "..##....##..",
    ".#........#.",
    "#..........#",
    "#..........#",
    "#..........#",
    "###......###",
    "#.#......#.#",
    "#.#......#.#",
    "#.#......#.#",
    "#.#......#.#",
    "###......###",
};
// clang-format on

void Headphones(IndexedImage& s, SpritePos p, bool crossed) {
    FillIndex(s, p.x, p.y, 16, 16, INK_BLACK);
    DrawPattern(s, p.x + 2, p.y + 2, HeadphoneRows, 12, INK_WHITE);
    if (crossed) {
        for (int32_t i = 0; i < 12; i++) {
            SetIndex(s, p.x + 2 + i, p.y + 2 + i, INK_RED);
            SetIndex(s, p.x + 3 + i, p.y + 2 + i, INK_RED);
            SetIndex(s, p.x + 13 - i, p.y + 2 + i, INK_RED);
            SetIndex(s, p.x + 12 - i, p.y + 2 + i, INK_RED);
        }
    }
}

} // namespace

void PaintButtons(IndexedImage& sheet) {
    CloseBox(sheet, ButtonSpritesUp[BUTTON_QUIT], false);
    CloseBox(sheet, ButtonSpritesDown[BUTTON_QUIT], true);
    SoundSwitch(sheet, ButtonSpritesUp[BUTTON_SOUND], false);
    SoundSwitch(sheet, ButtonSpritesDown[BUTTON_SOUND], true);
    OptionsKey(sheet, ButtonSpritesUp[BUTTON_OPTIONS], false);
    OptionsKey(sheet, ButtonSpritesDown[BUTTON_OPTIONS], true);
    Headphones(sheet, ButtonSpritesUp[BUTTON_HIDDEN], true);
    Headphones(sheet, ButtonSpritesDown[BUTTON_HIDDEN], false);
    // Left to right, so each key's border column is drawn by both neighbours
    // alike; the down row last, so the shared row 80 stays the up keys'
    // bottom border in black either way.
    for (int32_t b = BUTTON_ROTATE; b <= BUTTON_RIGHT; b++)
        BlueKey(sheet, ButtonSpritesUp[b], b, false);
    for (int32_t b = BUTTON_ROTATE; b <= BUTTON_RIGHT; b++)
        BlueKey(sheet, ButtonSpritesDown[b], b, true);
    // The pause bars after the down keys: their black top row is the keys'
    // bottom row.
    PauseBar(sheet, ButtonSpritesUp[BUTTON_PAUSE], false);
    PauseBar(sheet, ButtonSpritesDown[BUTTON_PAUSE], true);
}
