// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/shapes.h"

#include "tools/gen-assets/fixmath.h"

bool InDisc(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t r) {
    int64_t dx = px - cx, dy = py - cy;
    return dx * dx + dy * dy <= int64_t{r} * r;
}

bool InRing(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t inner, int32_t outer) {
    int64_t dx = px - cx, dy = py - cy;
    int64_t d2 = dx * dx + dy * dy;
    return d2 <= int64_t{outer} * outer && d2 > int64_t{inner} * inner;
}

bool InCapsule(int32_t px, int32_t py, int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t r) {
    int64_t ux = bx - ax, uy = by - ay;
    int64_t vx = px - ax, vy = py - ay;
    int64_t len2 = ux * ux + uy * uy;
    int64_t t = ux * vx + uy * vy;
    int64_t r2 = int64_t{r} * r;
    if (len2 == 0 || t <= 0) return vx * vx + vy * vy <= r2;
    if (t >= len2) {
        int64_t wx = px - bx, wy = py - by;
        return wx * wx + wy * wy <= r2;
    }
    int64_t cross = ux * vy - uy * vx;
    return cross * cross <= r2 * len2;
}

bool InEllipse(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t a, int32_t b,
               int32_t angle) {
    int64_t c = CosQ14(angle), s = SinQ14(angle);
    int64_t dx = px - cx, dy = py - cy;
    int64_t u = (dx * c + dy * s) / One14;  // along the angle
    int64_t v = (-dx * s + dy * c) / One14; // across it
    // u^2 / a^2 + v^2 / b^2 <= 1
    return u * u * b * b + v * v * a * a <= int64_t{a} * a * b * b;
}

Mask MakeMask(int32_t width, int32_t height) {
    Mask mask;
    mask.Width = width;
    mask.Height = height;
    mask.Bits.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    return mask;
}

bool MaskAt(const Mask& mask, int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= mask.Width || y >= mask.Height) return false;
    return mask.Bits[static_cast<size_t>(y) * static_cast<size_t>(mask.Width) +
                     static_cast<size_t>(x)] != 0;
}

void SetMask(Mask& mask, int32_t x, int32_t y, bool on) {
    if (x < 0 || y < 0 || x >= mask.Width || y >= mask.Height) return;
    mask.Bits[static_cast<size_t>(y) * static_cast<size_t>(mask.Width) + static_cast<size_t>(x)] =
        on ? 1 : 0;
}

Mask Dilate(const Mask& mask, bool eightNeighbours) {
    Mask out = MakeMask(mask.Width, mask.Height);
    for (int32_t y = 0; y < mask.Height; y++)
        for (int32_t x = 0; x < mask.Width; x++) {
            bool on = false;
            for (int32_t dy = -1; dy <= 1 && !on; dy++)
                for (int32_t dx = -1; dx <= 1 && !on; dx++) {
                    if (!eightNeighbours && dx != 0 && dy != 0) continue;
                    on = MaskAt(mask, x + dx, y + dy);
                }
            SetMask(out, x, y, on);
        }
    return out;
}

Mask Shift(const Mask& mask, int32_t dx, int32_t dy) {
    Mask out = MakeMask(mask.Width, mask.Height);
    for (int32_t y = 0; y < mask.Height; y++)
        for (int32_t x = 0; x < mask.Width; x++) SetMask(out, x, y, MaskAt(mask, x - dx, y - dy));
    return out;
}

Mask Subtract(const Mask& a, const Mask& b) {
    Mask out = a;
    for (size_t i = 0; i < out.Bits.size(); i++) out.Bits[i] = (a.Bits[i] && !b.Bits[i]) ? 1 : 0;
    return out;
}

Mask Unite(const Mask& a, const Mask& b) {
    Mask out = a;
    for (size_t i = 0; i < out.Bits.size(); i++) out.Bits[i] = (a.Bits[i] || b.Bits[i]) ? 1 : 0;
    return out;
}
