// SPDX-License-Identifier: GPL-3.0-or-later
// The one stretch of the game: nearest neighbour, window pixel (x, y) showing
// logical pixel (x * width / windowWidth, y * height / windowHeight), so that
// pixels stay square-edged. Every backend's present uses it, and so does the
// drawing's StretchBlit.
#pragma once

#include <cstdint>

// Fills target[0, count) with the pixels of a stretched row from its pixel
// `first` on: the row shows `sourceWidth` source pixels over `targetWidth`,
// and `source` points at the source pixel that target pixel `first` shows.
void StretchRow(const uint32_t* source, int32_t sourceWidth, uint32_t* target, int32_t targetWidth,
                int32_t first, int32_t count);

struct StretchTarget {
    uint32_t* pixels;
    int32_t width, height;
    int32_t pitch; // in pixels
};

struct RowBand {
    int32_t top, bottom; // window rows [top, bottom)
};

// Stretches the width x height picture (rows `pitch` pixels apart) over the
// whole target, redrawing only the rows that changed since the last call.
// `last` keeps the previous picture (width x height, packed) and is brought
// up to date; `full` redraws everything, as does a `last` of nullptr (no
// memory of the last picture). Writes the window rows it redrew as bands
// [top, bottom) into `bands` and returns how many (0 when nothing changed);
// when more bands are needed than fit, the last one stretches to cover the
// rest.
int32_t StretchChanged(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                       uint32_t* last, bool full, const StretchTarget& target, RowBand* bands,
                       int32_t maxBands);

// Where the picture goes on a window whose size is no longer the one the
// game laid itself out for: its shape kept, scaled to the largest size that
// fits, centred; the rest of the window is black. On a window of the laid-out
// size (or of the same shape) it is the whole window.
struct FitRect {
    int32_t x, y, width, height; // window pixels
};
FitRect FitPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t windowWidth,
                   int32_t windowHeight);

// The laid-out pixel under window pixel (x, y) of the picture placed at
// `fit`; positions beside the picture go to its nearest edge.
void FitToPicture(const FitRect& fit, int32_t pictureWidth, int32_t pictureHeight, int32_t x,
                  int32_t y, int32_t* pictureX, int32_t* pictureY);

// Stretches the picture into `fit` of the target, as StretchChanged does,
// and, when `full`, makes the rest of the target black. The bands written
// are window rows; a full redraw gives one band of the whole target.
int32_t StretchFitted(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                      uint32_t* last, bool full, const StretchTarget& target, const FitRect& fit,
                      RowBand* bands, int32_t maxBands);
