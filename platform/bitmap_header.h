// SPDX-License-Identifier: GPL-3.0-or-later
// The 40-byte info header that starts every bitmap image, in a bitmap file
// (after its 14-byte file header) and in an icon file (one an image), and
// what follows from it: the palette's size and the bytes a row takes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/bytes.h"

constexpr uint32_t BitmapInfoHeaderSize = 40;

struct BitmapInfoHeader {
    uint32_t Size; // of the header itself: 40, or more in newer kinds
    int32_t Width;
    int32_t Height; // negative for a top-down bitmap
    uint16_t Planes;
    int32_t Bits;         // a pixel
    uint32_t Compression; // 0 for none
    uint32_t ColoursUsed; // 0 for as many as the bits can name
};

// Reads the header at `h`, which has at least BitmapInfoHeaderSize bytes.
inline BitmapInfoHeader ReadBitmapInfoHeader(const uint8_t* h) {
    BitmapInfoHeader info{};
    info.Size = ReadLe32(h);
    info.Width = static_cast<int32_t>(ReadLe32(h + 4));
    info.Height = static_cast<int32_t>(ReadLe32(h + 8));
    info.Planes = ReadLe16(h + 12);
    info.Bits = ReadLe16(h + 14);
    info.Compression = ReadLe32(h + 16);
    info.ColoursUsed = ReadLe32(h + 32);
    return info;
}

// The colours of the palette after the header: none above 8 bits a pixel.
inline uint32_t PaletteColours(const BitmapInfoHeader& h) {
    if (h.Bits > 8) return 0;
    return h.ColoursUsed != 0 ? h.ColoursUsed : 1u << h.Bits;
}

// The bytes a row of `width` pixels takes, padded to 4.
inline size_t BitmapStride(int32_t width, int32_t bits) {
    return (static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32 * 4;
}
