// SPDX-License-Identifier: GPL-3.0-or-later
// Shapes tested at sub-pixel points and turned into crisp one-bit masks:
// 16 sub-units per pixel, 4 x 4 samples per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int32_t Sub = 16;

// The sub-unit coordinate of a pixel's centre.
constexpr int32_t Centre(int32_t pixel) { return pixel * Sub + Sub / 2; }

bool InDisc(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t r);
bool InRing(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t inner, int32_t outer);
// A thick segment with round ends: every point within r of the segment a-b.
bool InCapsule(int32_t px, int32_t py, int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t r);
// An ellipse with half-axes a (along the angle) and b, turned by angle.
bool InEllipse(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t a, int32_t b, int32_t angle);

// How many of a pixel's 16 samples fall inside the shape.
template <typename Shape> int32_t Coverage(int32_t x, int32_t y, const Shape& inside) {
    int32_t count = 0;
    for (int32_t j = 0; j < 4; j++)
        for (int32_t i = 0; i < 4; i++)
            if (inside(x * Sub + 2 + 4 * i, y * Sub + 2 + 4 * j)) count++;
    return count;
}

struct Mask {
    int32_t Width = 0, Height = 0;
    std::vector<uint8_t> Bits; // 0 or 1, row after row
};

Mask MakeMask(int32_t width, int32_t height);
bool MaskAt(const Mask& mask, int32_t x, int32_t y); // false outside
void SetMask(Mask& mask, int32_t x, int32_t y, bool on);

// A pixel is set when at least `threshold` of its 16 samples are inside.
template <typename Shape>
Mask Rasterize(int32_t width, int32_t height, int32_t threshold, const Shape& inside) {
    Mask mask = MakeMask(width, height);
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++)
            if (Coverage(x, y, inside) >= threshold) SetMask(mask, x, y, true);
    return mask;
}

// Grows the mask by one pixel: to the four side neighbours, or to all eight.
Mask Dilate(const Mask& mask, bool eightNeighbours);
Mask Shift(const Mask& mask, int32_t dx, int32_t dy);
Mask Subtract(const Mask& a, const Mask& b);
Mask Unite(const Mask& a, const Mask& b);
