// SPDX-License-Identifier: GPL-3.0-or-later
// Off-screen pictures and the ways of combining them. Pixels are 0x00RRGGBB;
// black is all bits 0 and white all bits 1, so the raster operations work
// bitwise on the colour value. Every operation is clipped to both surfaces.
#pragma once

#include <cstdint>

constexpr uint32_t Black = 0x000000;
constexpr uint32_t White = 0xFFFFFF;

struct Surface {
    int32_t Width;
    int32_t Height;
    uint32_t* Pixels; // Width * Height, row by row, top row first
};

enum RasterOp : uint32_t {
    Copy = 0x00CC0020,      // S
    And = 0x008800C6,       // D AND S: white source leaves D, black blackens it
    Paint = 0x00EE0086,     // D OR S: black source leaves D, white whitens it
    Blackness = 0x00000042, // black, no source
    Whiteness = 0x00FF0062, // white, no source
};

struct TextRect {
    int32_t left, top, right, bottom;
};

// A new surface, all black. Sizes of zero or less give an empty surface,
// which every operation treats as having no pixels.
Surface CreateSurface(int32_t width, int32_t height);
void ReleaseSurface(Surface& surface);

// A bitmap resource at its own size; an id with no resource (or a bitmap that
// cannot be decoded) gives an empty surface.
Surface LoadImageSurface(int32_t bitmapId);

void Blit(Surface& dest, int32_t x, int32_t y, int32_t w, int32_t h, const Surface& src,
          int32_t srcX, int32_t srcY, RasterOp op);
// Nearest-neighbour copy of the srcW x srcH rectangle onto the w x h one.
void StretchBlit(Surface& dest, int32_t x, int32_t y, int32_t w, int32_t h, const Surface& src,
                 int32_t srcX, int32_t srcY, int32_t srcW, int32_t srcH);
void Fill(Surface& dest, int32_t x, int32_t y, int32_t w, int32_t h, RasterOp op);

// One line of text, centred horizontally at the top of the rectangle and
// clipped to it: black ink on white, the white covering the text's own width
// and the font's line height.
void DrawTextInRect(Surface& dest, const char* text, TextRect rect);

// For the dialog host's frames and labels: a rectangle of one colour, and
// text in one colour with no background, its top-left at (x, y), clipped to
// `clip`.
void FillColour(Surface& dest, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
void DrawTextAt(Surface& dest, int32_t x, int32_t y, const char* text, uint32_t colour,
                TextRect clip);
