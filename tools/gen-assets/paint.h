// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the backgrounds in full colour: shapes with soft (supersampled)
// edges and a colour worked out per pixel, blended over what is there.
#pragma once

#include "tools/gen-assets/fixmath.h"
#include "tools/gen-assets/image.h"
#include "tools/gen-assets/shapes.h"

#include <cstdint>

// Blends colour over the pixel with weight alpha 0..256.
void BlendRgb(RgbImage& image, int32_t x, int32_t y, uint32_t colour, int32_t alpha);

// Over the pixel box [x0, x1) x [y0, y1): inside(px, py) answers for
// sub-unit points, colourAt(x, y) gives the colour of a pixel, and opacity
// (0..256) scales the coverage.
template <typename Inside, typename ColourAt>
void PaintShape(RgbImage& image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                const Inside& inside, const ColourAt& colourAt, int32_t opacity) {
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > image.Width) x1 = image.Width;
    if (y1 > image.Height) y1 = image.Height;
    for (int32_t y = y0; y < y1; y++)
        for (int32_t x = x0; x < x1; x++) {
            int32_t c = Coverage(x, y, inside);
            if (c == 0) continue;
            BlendRgb(image, x, y, colourAt(x, y), c * 16 * opacity / 256);
        }
}

// Position of a point in a frame turned by angle about (cx, cy): u along
// the angle, v across it; all in sub-units.
void ToFrame(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t angle, int32_t& u, int32_t& v);

// Lambert light for a surface normal (nx, ny, nz), each scaled by 16384,
// from a light direction of the same scale: 0..256, with `ambient` (0..256)
// added to what the light gives.
int32_t Lambert(int32_t nx, int32_t ny, int32_t nz, int32_t lx, int32_t ly, int32_t lz,
                int32_t ambient);
