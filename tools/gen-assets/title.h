// SPDX-License-Identifier: GPL-3.0-or-later
// What the parts of the title picture share: the light, and the flowers.
// title.cpp paints the foliage and twigs and lays the picture out;
// blossoms.cpp the blossoms and buds.
#pragma once

#include "tools/gen-assets/fixmath.h"
#include "tools/gen-assets/image.h"

#include <cstdint>

namespace title {

// Light falls from the upper left, a little towards the viewer.
constexpr int32_t LightX = -7400, LightY = -9800, LightZ = 10600;

// An open five-petalled blossom of `radius` pixels at (cx, cy), turned by
// angle0, pink or white; the petals' irregularities drawn from `rng`.
void Blossom(RgbImage& p, int32_t cx, int32_t cy, int32_t radius, int32_t angle0, bool pink,
             Rng& rng);

// A closed bud at (cx, cy), pointing along `angle`.
void Bud(RgbImage& p, int32_t cx, int32_t cy, int32_t angle);

} // namespace title
