// SPDX-License-Identifier: GPL-3.0-or-later
// The title word mark "vantle": round bold letters in red with a yellow
// shine, a dark-red outline and a dark-red shadow, on white. The logo mask
// is the exact complement of the logo's white, so Paint then And draws it
// opaque and leaves the picture around it alone.
#include "tools/gen-assets/sheet.h"

#include "tools/gen-assets/shapes.h"

#include "render/sprites.h"

namespace {

// Letter geometry in pixel edges: x-height from XTop to Base, ascenders
// from AscTop; strokes Stroke pixels thick.
constexpr int32_t AscTop = 3;
constexpr int32_t XTop = 9;
constexpr int32_t Base = 27;
constexpr int32_t Half = 3; // half a stroke
constexpr int32_t Mid = (XTop + Base) / 2;

constexpr int32_t E(int32_t pixels) { return pixels * Sub; }

bool InBox(int32_t px, int32_t py, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    return px >= E(x0) && px < E(x1) && py >= E(y0) && py < E(y1);
}

bool Bowl(int32_t px, int32_t py, int32_t cx, int32_t inner) {
    int32_t outer = (Base - XTop) / 2;
    return InRing(px, py, E(cx), E(Mid), E(inner), E(outer));
}

// Each letter answers for sub-unit points relative to its left edge.
bool LetterV(int32_t px, int32_t py) {
    return InCapsule(px, py, E(3), E(XTop + Half), E(9), E(Base - Half), E(Half)) ||
           InCapsule(px, py, E(15), E(XTop + Half), E(9), E(Base - Half), E(Half));
}

bool LetterA(int32_t px, int32_t py) {
    return Bowl(px, py, 9, Half) ||
           InCapsule(px, py, E(15), E(XTop + Half), E(15), E(Mid), E(Half)) ||
           InBox(px, py, 12, Mid, 18, Base);
}

bool LetterN(int32_t px, int32_t py) {
    bool stem = InCapsule(px, py, E(3), E(XTop + Half), E(3), E(Mid), E(Half)) ||
                InBox(px, py, 0, Mid, 6, Base);
    bool arch = py <= E(Mid) && Bowl(px, py, 9, Half);
    return stem || arch || InBox(px, py, 12, Mid, 18, Base);
}

bool LetterT(int32_t px, int32_t py) {
    bool stem = InCapsule(px, py, E(5), E(AscTop + Half), E(5), E(Mid), E(Half));
    bool hook = px <= E(11) && py >= E(Mid) && InRing(px, py, E(11), E(Mid), E(Half), E(9));
    bool tail = InCapsule(px, py, E(11), E(Base - Half), E(12), E(Base - Half), E(Half));
    bool bar = InCapsule(px, py, E(2) + Sub / 2, E(XTop + 2), E(12) + Sub / 2, E(XTop + 2),
                         E(2) + Sub / 2);
    return stem || hook || tail || bar;
}

bool LetterL(int32_t px, int32_t py) {
    return InCapsule(px, py, E(3), E(AscTop + Half), E(3), E(Base - Half), E(Half));
}

bool LetterE(int32_t px, int32_t py) {
    bool bowl = Bowl(px, py, 9, 4);
    bool bar = InBox(px, py, 2, Mid - 1, 16, Mid + 2);
    // The open mouth at the lower right.
    bool mouth = px > E(10) && py > E(Mid + 2) && py < E(Base - 4);
    return (bowl || bar) && !mouth;
}

struct Letter {
    bool (*Inside)(int32_t, int32_t);
    int32_t Width;
};

constexpr Letter Word[] = {{LetterV, 18}, {LetterA, 18}, {LetterN, 18},
                           {LetterT, 15}, {LetterL, 6},  {LetterE, 18}};
constexpr int32_t Gap = 3;

Mask WordMask(int32_t width, int32_t height) {
    int32_t total = -Gap;
    for (const Letter& l : Word) total += l.Width + Gap;
    // Centred, leaving room for the shadow at the lower right.
    int32_t left = (width - total - 2) / 2;
    auto inside = [&](int32_t px, int32_t py) {
        int32_t x = left;
        for (const Letter& l : Word) {
            if (px >= E(x - 2) && px < E(x + l.Width + 2) && l.Inside(px - E(x), py)) return true;
            x += l.Width + Gap;
        }
        return false;
    };
    return Rasterize(width, height, 8, inside);
}

} // namespace

void PaintLogo(IndexedImage& sheet) {
    const SpriteRect& image = LogoImageSprite;
    const SpriteRect& mask = LogoMaskSprite;
    Mask body = WordMask(image.w, image.h);
    Mask outline = Dilate(body, true);
    Mask shadow = Unite(Shift(outline, 1, 1), Shift(outline, 2, 2));

    FillIndex(sheet, image.x, image.y, image.w, image.h, INK_WHITE);
    for (int32_t y = 0; y < image.h; y++)
        for (int32_t x = 0; x < image.w; x++) {
            uint8_t ink = INK_WHITE;
            if (MaskAt(body, x, y)) {
                // A shine along the upper edge of every stroke.
                bool edge = y < Mid + 2 && (!MaskAt(body, x, y - 1) || !MaskAt(body, x - 1, y - 1));
                ink = edge ? INK_YELLOW : INK_RED;
            } else if (MaskAt(outline, x, y) || MaskAt(shadow, x, y)) {
                ink = INK_DARK_RED;
            }
            SetIndex(sheet, image.x + x, image.y + y, ink);
        }

    for (int32_t y = 0; y < mask.h; y++)
        for (int32_t x = 0; x < mask.w; x++) {
            bool white = GetIndex(sheet, image.x + x, image.y + y) == INK_WHITE;
            SetIndex(sheet, mask.x + x, mask.y + y, white ? INK_BLACK : INK_WHITE);
        }
}
