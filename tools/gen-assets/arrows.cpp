// SPDX-License-Identifier: GPL-3.0-or-later
// The arrow tiles: an octagon lit from the upper left, a yellow-and-green
// checkered face, a dark-blue arrow and a gem whose colour tells the
// direction at a glance. Also the two empty-cell checkerboards.
#include "tools/gen-assets/sheet.h"

#include "render/sprites.h"

namespace {

struct TileShape {
    int32_t Cut;    // how far the octagon's corners are cut
    int32_t Rim;    // rim width
    int32_t Tip;    // the arrow's first row
    int32_t Head;   // rows of the head; the head's widest row is 2 * Head
    int32_t Shaft;  // shaft width
    int32_t Bottom; // the arrow's last row
    int32_t Gem;    // gem edge
};

TileShape ShapeFor(int32_t size) {
    if (size <= 16) return {4, 1, 2, 6, 4, 13, 2};
    if (size <= 22) return {6, 2, 3, 8, 6, 18, 4};
    return {9, 2, 4, 12, 8, 27, 6};
}

// The arrow pointing up: a stepped head on a straight shaft.
bool InUpArrow(int32_t size, int32_t x, int32_t y) {
    TileShape s = ShapeFor(size);
    int32_t half = size / 2;
    if (y < s.Tip || y > s.Bottom) return false;
    if (y < s.Tip + s.Head) {
        int32_t w = y - s.Tip + 1; // half-width of this row
        return x >= half - w && x < half + w;
    }
    return x >= half - s.Shaft / 2 && x < half + s.Shaft / 2;
}

// Which way pixel (x, y) of the arrow pointing `arrow` looks in the arrow
// pointing up: turn the tile back to "up".
void ToUp(int32_t size, int32_t arrow, int32_t x, int32_t y, int32_t& u, int32_t& v) {
    int32_t n = size - 1;
    switch (arrow) {
    case 2:
        u = y;
        v = n - x;
        break;
    case 3:
        u = n - x;
        v = n - y;
        break;
    case 4:
        u = n - y;
        v = x;
        break;
    default:
        u = x;
        v = y;
        break;
    }
}

// Gems: 'w' highlight, 'm' the direction's colour, 's' its shade.
constexpr const char* Gem2[] = {"mm", "ms"};
// clang-format off
constexpr const char* Gem4[] = {
    ".wm.",
    "wmmm",
    "mmms",
    ".ms.",
};
// clang-format on
// clang-format off
constexpr const char* Gem6[] = {
    ".wmm..",
    "wwmmm.",
    "wmmmms",
    "mmmmms",
    ".mmmss",
    "..sss.",
};
// clang-format on

void GemInks(int32_t arrow, uint8_t& main, uint8_t& shade) {
    switch (arrow) {
    case 2:
        main = INK_CYAN;
        shade = INK_TEAL;
        break;
    case 3:
        main = INK_MAGENTA;
        shade = INK_PURPLE;
        break;
    case 4:
        main = INK_BRIGHT_GREEN;
        shade = INK_GREEN;
        break;
    default:
        main = INK_RED;
        shade = INK_DARK_RED;
        break;
    }
}

// The facet a rim pixel belongs to decides its light: the top, left and
// upper-left faces catch it, the bottom, right and lower-right lie in shade,
// the two remaining diagonals are half lit.
uint8_t RimInk(int32_t size, int32_t cut, int32_t x, int32_t y) {
    int32_t n = size - 1;
    struct Facet {
        int32_t Distance;
        uint8_t Ink;
    };
    const Facet facets[8] = {
        {y, INK_WHITE},
        {x, INK_WHITE},
        {n - y, INK_GREY},
        {n - x, INK_GREY},
        {x + y - cut, INK_WHITE},
        {(n - x) + (n - y) - cut, INK_GREY},
        {(n - x) + y - cut, INK_LIGHT_GREY},
        {x + (n - y) - cut, INK_LIGHT_GREY},
    };
    int32_t best = 0;
    for (int32_t i = 1; i < 8; i++)
        if (facets[i].Distance < facets[best].Distance) best = i;
    return facets[best].Ink;
}

int32_t RimDepth(int32_t size, int32_t x, int32_t y, int32_t limit) {
    // Steps to the outside through side neighbours, up to limit.
    for (int32_t d = 1; d <= limit; d++) {
        for (int32_t dy = -d; dy <= d; dy++) {
            int32_t dx = d - (dy < 0 ? -dy : dy);
            if (!InTileOctagon(size, x + dx, y + dy) || !InTileOctagon(size, x - dx, y + dy))
                return d;
        }
    }
    return limit + 1;
}

} // namespace

bool InTileOctagon(int32_t size, int32_t x, int32_t y) {
    int32_t n = size - 1;
    int32_t cut = ShapeFor(size).Cut;
    if (x < 0 || y < 0 || x > n || y > n) return false;
    return x + y >= cut && (n - x) + y >= cut && x + (n - y) >= cut && (n - x) + (n - y) >= cut;
}

void PaintArrowTile(IndexedImage& image, int32_t x0, int32_t y0, int32_t size, int32_t arrow) {
    TileShape s = ShapeFor(size);
    uint8_t gemMain = 0, gemShade = 0;
    GemInks(arrow, gemMain, gemShade);
    for (int32_t y = 0; y < size; y++) {
        for (int32_t x = 0; x < size; x++) {
            uint8_t ink = INK_BLACK;
            if (InTileOctagon(size, x, y)) {
                if (RimDepth(size, x, y, s.Rim) <= s.Rim) {
                    ink = RimInk(size, s.Cut, x, y);
                } else {
                    ink = ((x + y) & 1) ? INK_BRIGHT_GREEN : INK_YELLOW;
                    int32_t u = 0, v = 0;
                    ToUp(size, arrow, x, y, u, v);
                    if (InUpArrow(size, u, v)) ink = INK_DARK_BLUE;
                }
            }
            SetIndex(image, x0 + x, y0 + y, ink);
        }
    }
    const char* const* gem = s.Gem == 2 ? Gem2 : s.Gem == 4 ? Gem4 : Gem6;
    int32_t g0 = size / 2 - s.Gem / 2;
    for (int32_t j = 0; j < s.Gem; j++)
        for (int32_t i = 0; i < s.Gem; i++) {
            char c = gem[j][i];
            uint8_t ink = c == 'w' ? INK_WHITE : c == 'm' ? gemMain : c == 's' ? gemShade : 255;
            if (ink != 255) SetIndex(image, x0 + g0 + i, y0 + g0 + j, ink);
        }
}

void PaintTiles(IndexedImage& sheet) {
    for (int32_t k = 1; k <= 4; k++) {
        SpriteRect small = SmallArrowSprite(k);
        PaintArrowTile(sheet, small.x, small.y, small.w, k);
        SpriteRect large = LargeArrowSprite(k);
        PaintArrowTile(sheet, large.x, large.y, large.w, k);
    }
    // One-pixel checkerboards for the empty cells: black at the small one's
    // top-left pixel, white at the large one's.
    const SpriteRect& s = SmallEmptyCellSprite;
    for (int32_t y = 0; y < s.h; y++)
        for (int32_t x = 0; x < s.w; x++)
            SetIndex(sheet, s.x + x, s.y + y, ((x + y) & 1) ? INK_WHITE : INK_BLACK);
    const SpriteRect& l = LargeEmptyCellSprite;
    for (int32_t y = 0; y < l.h; y++)
        for (int32_t x = 0; x < l.w; x++)
            SetIndex(sheet, l.x + x, l.y + y, ((x + y) & 1) ? INK_BLACK : INK_WHITE);
}
