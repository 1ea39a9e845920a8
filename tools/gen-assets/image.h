// SPDX-License-Identifier: GPL-3.0-or-later
// The two kinds of picture the generator paints: palette indices (the sprite
// sheet, the icon) and 0x00RRGGBB colour (the backgrounds before they are
// reduced to their palettes, and the previews).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct IndexedImage {
    int32_t Width = 0, Height = 0;
    std::vector<uint8_t> Pixels; // row after row, top row first
};

struct RgbImage {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels; // 0x00RRGGBB, top row first
};

IndexedImage MakeIndexed(int32_t width, int32_t height, uint8_t fill);
RgbImage MakeRgb(int32_t width, int32_t height, uint32_t fill);

// Reads outside the picture give 0; writes outside it are dropped.
uint8_t GetIndex(const IndexedImage& image, int32_t x, int32_t y);
void SetIndex(IndexedImage& image, int32_t x, int32_t y, uint8_t index);
void FillIndex(IndexedImage& image, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t index);
// A one-pixel outline of the rectangle.
void FrameIndex(IndexedImage& image, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t index);

// Pixel art given as text rows: '0'..'9' and 'a'..'f' are palette indices,
// any other character leaves the pixel as it is.
void DrawArt(IndexedImage& image, int32_t x, int32_t y, const char* const* rows, int32_t rowCount);

uint32_t GetRgb(const RgbImage& image, int32_t x, int32_t y);
void SetRgb(RgbImage& image, int32_t x, int32_t y, uint32_t colour);

constexpr uint32_t Rgb(int32_t r, int32_t g, int32_t b) {
    auto clamp = [](int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return (clamp(r) << 16) | (clamp(g) << 8) | clamp(b);
}
constexpr int32_t Red(uint32_t c) { return static_cast<int32_t>((c >> 16) & 0xFF); }
constexpr int32_t Green(uint32_t c) { return static_cast<int32_t>((c >> 8) & 0xFF); }
constexpr int32_t Blue(uint32_t c) { return static_cast<int32_t>(c & 0xFF); }

// a + (b - a) * t / 256, per channel; t 0..256.
uint32_t MixRgb(uint32_t a, uint32_t b, int32_t t);
// The colour scaled by s / 256 per channel (s may exceed 256 to brighten).
uint32_t ScaleRgb(uint32_t c, int32_t s);
