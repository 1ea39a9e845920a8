// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/image.h"

namespace {
// Both kinds are a width, a height and their pixels row after row; only the
// pixel differs.
template <typename Image, typename Pixel>
Image MakeImage(int32_t width, int32_t height, Pixel fill) {
    Image image;
    image.Width = width;
    image.Height = height;
    image.Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    return image;
}

template <typename Image> bool Inside(const Image& image, int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < image.Width && y < image.Height;
}

size_t At(int32_t width, int32_t x, int32_t y) {
    return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
}

template <typename Image, typename Pixel> Pixel GetPixel(const Image& image, int32_t x, int32_t y) {
    return Inside(image, x, y) ? image.Pixels[At(image.Width, x, y)] : Pixel{0};
}

template <typename Image, typename Pixel>
void SetPixel(Image& image, int32_t x, int32_t y, Pixel p) {
    if (Inside(image, x, y)) image.Pixels[At(image.Width, x, y)] = p;
}
} // namespace

IndexedImage MakeIndexed(int32_t width, int32_t height, uint8_t fill) {
    return MakeImage<IndexedImage>(width, height, fill);
}

RgbImage MakeRgb(int32_t width, int32_t height, uint32_t fill) {
    return MakeImage<RgbImage>(width, height, fill);
}

uint8_t GetIndex(const IndexedImage& image, int32_t x, int32_t y) {
    return GetPixel<IndexedImage, uint8_t>(image, x, y);
}

void SetIndex(IndexedImage& image, int32_t x, int32_t y, uint8_t index) {
    SetPixel(image, x, y, index);
}

void FillIndex(IndexedImage& image, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t index) {
    for (int32_t j = y; j < y + h; j++)
        for (int32_t i = x; i < x + w; i++) SetIndex(image, i, j, index);
}

void FrameIndex(IndexedImage& image, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t index) {
    FillIndex(image, x, y, w, 1, index);
    FillIndex(image, x, y + h - 1, w, 1, index);
    FillIndex(image, x, y, 1, h, index);
    FillIndex(image, x + w - 1, y, 1, h, index);
}

void DrawArt(IndexedImage& image, int32_t x, int32_t y, const char* const* rows, int32_t rowCount) {
    for (int32_t j = 0; j < rowCount; j++) {
        for (int32_t i = 0; rows[j][i] != 0; i++) {
            char c = rows[j][i];
            if (c >= '0' && c <= '9')
                SetIndex(image, x + i, y + j, static_cast<uint8_t>(c - '0'));
            else if (c >= 'a' && c <= 'f')
                SetIndex(image, x + i, y + j, static_cast<uint8_t>(c - 'a' + 10));
        }
    }
}

uint32_t GetRgb(const RgbImage& image, int32_t x, int32_t y) {
    return GetPixel<RgbImage, uint32_t>(image, x, y);
}

void SetRgb(RgbImage& image, int32_t x, int32_t y, uint32_t colour) {
    SetPixel(image, x, y, colour);
}

uint32_t MixRgb(uint32_t a, uint32_t b, int32_t t) {
    if (t < 0) t = 0;
    if (t > 256) t = 256;
    return Rgb(Red(a) + (Red(b) - Red(a)) * t / 256, Green(a) + (Green(b) - Green(a)) * t / 256,
               Blue(a) + (Blue(b) - Blue(a)) * t / 256);
}

uint32_t ScaleRgb(uint32_t c, int32_t s) {
    return Rgb(Red(c) * s / 256, Green(c) * s / 256, Blue(c) * s / 256);
}
