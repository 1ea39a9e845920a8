// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/paint.h"

void BlendRgb(RgbImage& image, int32_t x, int32_t y, uint32_t colour, int32_t alpha) {
    if (x < 0 || y < 0 || x >= image.Width || y >= image.Height || alpha <= 0) return;
    SetRgb(image, x, y, MixRgb(GetRgb(image, x, y), colour, alpha));
}

void ToFrame(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t angle, int32_t& u,
             int32_t& v) {
    int64_t c = CosQ14(angle), s = SinQ14(angle);
    int64_t dx = px - cx, dy = py - cy;
    u = static_cast<int32_t>((dx * c + dy * s) / One14);
    v = static_cast<int32_t>((-dx * s + dy * c) / One14);
}

int32_t Lambert(int32_t nx, int32_t ny, int32_t nz, int32_t lx, int32_t ly, int32_t lz,
                int32_t ambient) {
    int64_t d = (int64_t{nx} * lx + int64_t{ny} * ly + int64_t{nz} * lz) / One14; // -16384..16384
    if (d < 0) d = 0;
    int64_t lit = ambient + d * (256 - ambient) / One14;
    return static_cast<int32_t>(lit > 256 ? 256 : lit);
}
