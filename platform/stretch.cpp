// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/stretch.h"

#include <cstddef>
#include <cstring>

void StretchRow(const uint32_t* source, int32_t sourceWidth, uint32_t* target, int32_t targetWidth,
                int32_t first, int32_t count) {
    if (sourceWidth <= 0 || targetWidth <= 0) return;
    // Stepped without a division a pixel: `error` is the fraction of a
    // source pixel passed, in targetWidths.
    const int32_t whole = sourceWidth / targetWidth, part = sourceWidth % targetWidth;
    int32_t error = static_cast<int32_t>(int64_t{first} * sourceWidth % targetWidth);
    ptrdiff_t sx = 0;
    for (int32_t i = 0; i < count; ++i) {
        target[i] = source[sx];
        sx += whole;
        error += part;
        if (error >= targetWidth) {
            error -= targetWidth;
            ++sx;
        }
    }
}

int32_t StretchChanged(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                       uint32_t* last, bool full, const StretchTarget& target, RowBand* bands,
                       int32_t maxBands) {
    if (pixels == nullptr || width <= 0 || height <= 0 || target.pixels == nullptr ||
        target.width <= 0 || target.height <= 0 || maxBands <= 0)
        return 0;
    full = full || last == nullptr;
    const size_t rowBytes = sizeof(uint32_t) * static_cast<size_t>(width);
    int32_t count = 0;
    int32_t source = -1;
    bool drawn = false;
    int32_t sy = 0, error = 0;
    for (int32_t y = 0; y < target.height; ++y) {
        uint32_t* row = target.pixels + static_cast<ptrdiff_t>(y) * target.pitch;
        if (sy != source) {
            // The first window row of a source row: stretch it if it changed.
            source = sy;
            const uint32_t* in = pixels + static_cast<ptrdiff_t>(sy) * pitch;
            uint32_t* kept = last != nullptr ? last + static_cast<ptrdiff_t>(sy) * width : nullptr;
            drawn = full || std::memcmp(in, kept, rowBytes) != 0;
            if (drawn) {
                if (kept != nullptr) std::memcpy(kept, in, rowBytes);
                StretchRow(in, width, row, target.width, 0, target.width);
            }
        } else if (drawn) {
            // Further window rows of the same source row are copies.
            std::memcpy(row, row - target.pitch,
                        sizeof(uint32_t) * static_cast<size_t>(target.width));
        }
        if (drawn) {
            // A row next to the band above joins it; out of bands, the last
            // one grows.
            const bool joins = count > 0 && bands[count - 1].bottom == y;
            if (!joins && count < maxBands)
                bands[count++] = RowBand{y, y + 1};
            else
                bands[count - 1].bottom = y + 1;
        }
        error += height;
        while (error >= target.height) {
            error -= target.height;
            ++sy;
        }
    }
    return count;
}

FitRect FitPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t windowWidth,
                   int32_t windowHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0)
        return FitRect{0, 0, windowWidth > 0 ? windowWidth : 0,
                       windowHeight > 0 ? windowHeight : 0};
    // Cross-multiplied in 64 bits: no rounding decides which side bounds it.
    if (int64_t{windowWidth} * pictureHeight <= int64_t{windowHeight} * pictureWidth) {
        // The width bounds it: bands above and below.
        int32_t h = static_cast<int32_t>(int64_t{pictureHeight} * windowWidth / pictureWidth);
        if (h < 1) h = 1;
        return FitRect{0, (windowHeight - h) / 2, windowWidth, h};
    }
    int32_t w = static_cast<int32_t>(int64_t{pictureWidth} * windowHeight / pictureHeight);
    if (w < 1) w = 1;
    return FitRect{(windowWidth - w) / 2, 0, w, windowHeight};
}

namespace {
int32_t FitAxis(int32_t v, int32_t start, int32_t size, int32_t picture) {
    if (size <= 0 || picture <= 0) return 0;
    const int64_t p = (int64_t{v} - start) * picture / size;
    if (p < 0) return 0;
    return p >= picture ? picture - 1 : static_cast<int32_t>(p);
}
} // namespace

void FitToPicture(const FitRect& fit, int32_t pictureWidth, int32_t pictureHeight, int32_t x,
                  int32_t y, int32_t* pictureX, int32_t* pictureY) {
    *pictureX = FitAxis(x, fit.x, fit.width, pictureWidth);
    *pictureY = FitAxis(y, fit.y, fit.height, pictureHeight);
}

int32_t StretchFitted(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                      uint32_t* last, bool full, const StretchTarget& target, const FitRect& fit,
                      RowBand* bands, int32_t maxBands) {
    if (target.pixels == nullptr || target.width <= 0 || target.height <= 0 || maxBands <= 0)
        return 0;
    // What lies outside the window is not drawn.
    if (fit.x < 0 || fit.y < 0 || fit.width <= 0 || fit.height <= 0 ||
        fit.x + fit.width > target.width || fit.y + fit.height > target.height)
        return 0;
    const bool whole =
        fit.x == 0 && fit.y == 0 && fit.width == target.width && fit.height == target.height;
    if (full && !whole) {
        for (int32_t y = 0; y < target.height; ++y) {
            uint32_t* row = target.pixels + static_cast<ptrdiff_t>(y) * target.pitch;
            std::memset(row, 0, sizeof(uint32_t) * static_cast<size_t>(target.width));
        }
    }
    const StretchTarget inner{target.pixels + static_cast<ptrdiff_t>(fit.y) * target.pitch + fit.x,
                              fit.width, fit.height, target.pitch};
    const int32_t count =
        StretchChanged(pixels, width, height, pitch, last, full, inner, bands, maxBands);
    if (whole) return count;
    if (full) {
        bands[0] = RowBand{0, target.height};
        return 1;
    }
    for (int32_t i = 0; i < count; ++i) {
        bands[i].top += fit.y;
        bands[i].bottom += fit.y;
    }
    return count;
}
