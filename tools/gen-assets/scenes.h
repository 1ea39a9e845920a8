// SPDX-License-Identifier: GPL-3.0-or-later
// The two background pictures, painted in full colour and then reduced to
// their own palettes: the blossoms of the title (bitmap 113, 16 colours)
// and the garden wall behind the board (bitmap 114, 256 colours).
#pragma once

#include "tools/gen-assets/image.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct PalettedImage {
    IndexedImage Image;
    std::vector<uint32_t> Palette;
};

constexpr int32_t SceneSize = 320;

RgbImage PaintTitleScene(); // title.cpp
RgbImage PaintPlayScene();  // play.cpp

// quantize.cpp: a median-cut palette of `colours` entries for the picture,
// then every pixel mapped to it, passing on `diffusion` sixteenths of each
// pixel's error Floyd-Steinberg fashion (0: none). Integer arithmetic
// throughout.
PalettedImage Quantize(const RgbImage& picture, int32_t colours, int32_t diffusion);
// A median-cut palette of `colours` entries for the given pixels, darkest
// first.
std::vector<uint32_t> MedianCut(const std::vector<uint32_t>& pixels, int32_t colours);
// Maps every pixel to a palette chosen elsewhere.
PalettedImage MapToPalette(const RgbImage& picture, const std::vector<uint32_t>& palette,
                           int32_t diffusion);

PalettedImage MakeTitleImage();
PalettedImage MakePlayImage();
