// SPDX-License-Identifier: GPL-3.0-or-later
// What the parts of the play picture share: the light, the niche's place
// and shape, and its stone. play.cpp paints the wall, the niche and the
// shrubs; statue.cpp the figure standing in the niche.
#pragma once

#include "tools/gen-assets/image.h"

#include <cstdint>

namespace play {

constexpr int32_t LightX = 8200, LightY = -7400, LightZ = 11400;

// The niche: an arch over straight sides, with a stone surround.
constexpr int32_t NicheX = 82, NicheHalf = 42, ArchY = 66, SillY = 214;
constexpr int32_t Surround = 10;

// Whether a pixel is in the niche's opening, grown by `grow` pixels all
// round.
bool InNicheOpening(int32_t x, int32_t y, int32_t grow);

// The niche's limestone, pitted, its grain from `seed`.
uint32_t Limestone(int32_t x, int32_t y, uint32_t seed);

// The marble figure on its plinth, with its shadow on the niche's back.
void PaintStatue(RgbImage& p);

} // namespace play
