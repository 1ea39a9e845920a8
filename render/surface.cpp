// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/surface.h"

#include "platform/bitmap.h"
#include "platform/resources.h"
#include "platform/stretch.h"
#include "render/font.h"

#include <algorithm>
#include <cstring>

Surface CreateSurface(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return Surface{0, 0, nullptr};
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    Surface s{width, height, new uint32_t[count]};
    std::memset(s.Pixels, 0, count * sizeof(uint32_t));
    return s;
}

void ReleaseSurface(Surface& surface) {
    delete[] surface.Pixels;
    surface = Surface{0, 0, nullptr};
}

namespace {

uint32_t* AllocateForImage(int32_t width, int32_t height, void* context) {
    auto* s = static_cast<Surface*>(context);
    *s = CreateSurface(width, height);
    return s->Pixels;
}

// A rectangle of whole pixels, kept in 64 bits so that no sum of coordinates
// can overflow whatever callers pass.
struct Span {
    int64_t x, y, w, h;
};

// Clips a w x h copy from (sx, sy) of a source to (dx, dy) of a destination
// against both surfaces; false when nothing is left.
bool ClipCopy(Span& d, int64_t& sx, int64_t& sy, const Surface& dest, const Surface& src) {
    if (d.w <= 0 || d.h <= 0) return false;
    if (d.x < 0) {
        sx -= d.x;
        d.w += d.x;
        d.x = 0;
    }
    if (d.y < 0) {
        sy -= d.y;
        d.h += d.y;
        d.y = 0;
    }
    if (sx < 0) {
        d.x -= sx;
        d.w += sx;
        sx = 0;
    }
    if (sy < 0) {
        d.y -= sy;
        d.h += sy;
        sy = 0;
    }
    d.w = std::min({d.w, dest.Width - d.x, src.Width - sx});
    d.h = std::min({d.h, dest.Height - d.y, src.Height - sy});
    return d.w > 0 && d.h > 0;
}

bool ClipTo(Span& d, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    const int64_t x0 = std::max(d.x, left), y0 = std::max(d.y, top);
    const int64_t x1 = std::min(d.x + d.w, right), y1 = std::min(d.y + d.h, bottom);
    d = Span{x0, y0, x1 - x0, y1 - y0};
    return d.w > 0 && d.h > 0;
}

} // namespace

Surface LoadImageSurface(int32_t bitmapId) {
    Surface s{0, 0, nullptr};
    const ResourceBytes bytes = FindResource(RES_BITMAP, bitmapId);
    if (!DecodeBitmap(bytes.Data, bytes.Size, AllocateForImage, &s)) ReleaseSurface(s);
    return s;
}

void Blit(Surface& dest, int32_t x, int32_t y, int32_t w, int32_t h, const Surface& src,
          int32_t srcX, int32_t srcY, RasterOp op) {
    Span d{x, y, w, h};
    int64_t sx = srcX, sy = srcY;
    if (!ClipCopy(d, sx, sy, dest, src)) return;
    for (int64_t j = 0; j < d.h; ++j) {
        uint32_t* out = dest.Pixels + (d.y + j) * dest.Width + d.x;
        const uint32_t* in = src.Pixels + (sy + j) * src.Width + sx;
        switch (op) {
        case Copy: std::memcpy(out, in, static_cast<size_t>(d.w) * sizeof(uint32_t)); break;
        case And:
            for (int64_t i = 0; i < d.w; ++i) out[i] &= in[i];
            break;
        case Paint:
            for (int64_t i = 0; i < d.w; ++i) out[i] |= in[i];
            break;
        default: return; // not a copying operation
        }
    }
}

void Fill(Surface& dest, int32_t x, int32_t y, int32_t w, int32_t h, RasterOp op) {
    if (op != Blackness && op != Whiteness) return;
    FillColour(dest, x, y, w, h, op == Whiteness ? White : Black);
}

void FillColour(Surface& dest, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    Span d{x, y, w, h};
    if (d.w <= 0 || d.h <= 0 || !ClipTo(d, 0, 0, dest.Width, dest.Height)) return;
    for (int64_t j = 0; j < d.h; ++j) {
        uint32_t* out = dest.Pixels + (d.y + j) * dest.Width + d.x;
        std::fill(out, out + d.w, colour);
    }
}

namespace {
// The smallest k >= 0 whose stretched column floor(k * num / den) is at
// least v.
int64_t FirstColumnReaching(int64_t v, int64_t num, int64_t den) {
    if (v <= 0) return 0;
    return (v * den + num - 1) / num;
}
} // namespace

void StretchBlit(Surface& dest, int32_t x, int32_t y, int32_t w, int32_t h, const Surface& src,
                 int32_t srcX, int32_t srcY, int32_t srcW, int32_t srcH) {
    if (w <= 0 || h <= 0 || srcW <= 0 || srcH <= 0) return;
    Span d{x, y, w, h};
    if (!ClipTo(d, 0, 0, dest.Width, dest.Height)) return;
    // Target column x + k shows source column srcX + k * srcW / w: keep the
    // columns on the destination whose source column is on the source.
    const int64_t first = std::max(d.x - x, FirstColumnReaching(-int64_t{srcX}, srcW, w));
    const int64_t end =
        std::min(d.x + d.w - x, FirstColumnReaching(int64_t{src.Width} - srcX, srcW, w));
    if (first >= end) return;
    const int64_t sourceColumn = srcX + first * srcW / w;
    for (int64_t j = d.y; j < d.y + d.h; ++j) {
        // Each destination pixel takes the source pixel its left/top edge
        // falls in.
        const int64_t sy = srcY + (j - y) * srcH / h;
        if (sy < 0 || sy >= src.Height) continue;
        StretchRow(src.Pixels + sy * src.Width + sourceColumn, srcW,
                   dest.Pixels + j * dest.Width + x + first, w, static_cast<int32_t>(first),
                   static_cast<int32_t>(end - first));
    }
}

namespace {
// Ink of `text` with its pen starting at (penX, top), only inside `box`.
void DrawInk(Surface& dest, int64_t penX, int64_t top, const char* text, uint32_t colour,
             const Span& box) {
    for (const char* p = text; *p != 0; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        for (int32_t gy = 0; gy < FontLineHeight; ++gy) {
            const uint16_t bits = GlyphRow(c, gy);
            const int64_t py = top + gy;
            if (bits == 0 || py < box.y || py >= box.y + box.h) continue;
            for (int32_t gx = 0; gx < 16; ++gx) {
                const int64_t px = penX + gx;
                if ((bits >> gx & 1u) == 0 || px < box.x || px >= box.x + box.w) continue;
                dest.Pixels[py * dest.Width + px] = colour;
            }
        }
        penX += GlyphAdvance(c);
    }
}
} // namespace

void DrawTextInRect(Surface& dest, const char* text, TextRect rect) {
    if (text == nullptr) return;
    const int64_t width = TextWidth(text);
    // Centred across the rectangle at its top; what overflows is clipped.
    const int64_t penX = rect.left + (static_cast<int64_t>(rect.right) - rect.left - width) / 2;
    Span box{penX, rect.top, width, FontLineHeight};
    if (!ClipTo(box, rect.left, rect.top, rect.right, rect.bottom)) return;
    if (!ClipTo(box, 0, 0, dest.Width, dest.Height)) return;
    FillColour(dest, static_cast<int32_t>(box.x), static_cast<int32_t>(box.y),
               static_cast<int32_t>(box.w), static_cast<int32_t>(box.h), White);
    DrawInk(dest, penX, rect.top, text, Black, box);
}

void DrawTextAt(Surface& dest, int32_t x, int32_t y, const char* text, uint32_t colour,
                TextRect clip) {
    if (text == nullptr) return;
    Span box{clip.left, clip.top, static_cast<int64_t>(clip.right) - clip.left,
             static_cast<int64_t>(clip.bottom) - clip.top};
    if (!ClipTo(box, 0, 0, dest.Width, dest.Height)) return;
    DrawInk(dest, x, y, text, colour, box);
}
