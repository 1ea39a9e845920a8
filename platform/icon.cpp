// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/icon.h"

#include "platform/bitmap_header.h"
#include "platform/bytes.h"
#include "platform/resources.h"

namespace {
// One image of an icon file: a bitmap header, its palette, the colour
// bits and the transparency mask, rows bottom-up, each padded to 4 bytes.
struct IconImage {
    const uint8_t* header;
    size_t size;
    int32_t bits;
};

bool ReadIconImage(const uint8_t* data, size_t dataSize, uint32_t offset, uint32_t bytes,
                   int32_t want, IconImage* image) {
    if (offset > dataSize || bytes > dataSize - offset || bytes < BitmapInfoHeaderSize)
        return false;
    const uint8_t* h = data + offset;
    const BitmapInfoHeader info = ReadBitmapInfoHeader(h);
    const int32_t bits = info.Bits;
    // The height counts the colour bits and the mask together.
    if (info.Size < BitmapInfoHeaderSize || info.Size > bytes || info.Width != want ||
        info.Height != 2 * want || info.Compression != 0)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    const uint32_t colours = PaletteColours(info);
    if (colours > 256) return false;
    const size_t need =
        info.Size + colours * 4 +
        (BitmapStride(want, bits) + BitmapStride(want, 1)) * static_cast<size_t>(want);
    if (need > bytes) return false;
    *image = IconImage{h, bytes, bits};
    return true;
}

void DecodeIconImage(const IconImage& image, int32_t want, uint32_t* argb) {
    const BitmapInfoHeader info = ReadBitmapInfoHeader(image.header);
    const int32_t bits = image.bits;
    const uint32_t colours = PaletteColours(info);
    const uint8_t* palette = image.header + info.Size;
    const uint8_t* xorBits = palette + colours * 4;
    const size_t xorStride = BitmapStride(want, bits);
    const size_t andStride = BitmapStride(want, 1);
    const uint8_t* andBits = xorBits + xorStride * static_cast<size_t>(want);

    // A 32-bit image may carry its own alpha; one whose alpha is all zero
    // is an old one that relies on the mask alone.
    bool ownAlpha = false;
    if (bits == 32)
        for (size_t i = 3; i < xorStride * static_cast<size_t>(want); i += 4)
            if (xorBits[i] != 0) ownAlpha = true;

    for (int32_t y = 0; y < want; ++y) {
        const size_t row = static_cast<size_t>(want - 1 - y); // stored bottom-up
        const uint8_t* colourRow = xorBits + row * xorStride;
        const uint8_t* maskRow = andBits + row * andStride;
        for (int32_t x = 0; x < want; ++x) {
            uint32_t rgb = 0, alpha = 255;
            const uint8_t* c = nullptr;
            if (bits <= 8) {
                const int32_t bit = x * bits;
                const uint32_t index =
                    (colourRow[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index < colours) c = palette + index * 4;
            } else {
                c = colourRow + static_cast<size_t>(x) * static_cast<size_t>(bits / 8);
                if (ownAlpha) alpha = c[3];
            }
            if (c != nullptr)
                rgb = static_cast<uint32_t>(c[2]) << 16 | static_cast<uint32_t>(c[1]) << 8 | c[0];
            // A set mask bit lets the screen show through.
            if ((maskRow[x / 8] >> (7 - x % 8)) & 1) alpha = 0;
            argb[y * want + x] = alpha << 24 | rgb;
        }
    }
}
} // namespace

bool DecodeIcon(const uint8_t* data, size_t dataSize, int32_t size, uint32_t* argb) {
    if (data == nullptr || dataSize < 6 || size <= 0 || size > 256) return false;
    if (ReadLe16(data) != 0 || ReadLe16(data + 2) != 1) return false;
    const int32_t count = ReadLe16(data + 4);
    IconImage best{nullptr, 0, 0};
    for (int32_t i = 0; i < count; ++i) {
        const size_t at = 6 + static_cast<size_t>(i) * 16;
        if (at + 16 > dataSize) break;
        const uint8_t* e = data + at;
        const int32_t w = e[0] != 0 ? e[0] : 256, h = e[1] != 0 ? e[1] : 256;
        IconImage image{};
        if (w != size || h != size ||
            !ReadIconImage(data, dataSize, ReadLe32(e + 12), ReadLe32(e + 8), size, &image))
            continue;
        if (image.bits > best.bits) best = image;
    }
    if (best.header == nullptr) return false;
    DecodeIconImage(best, size, argb);
    return true;
}

bool DecodeIconResource(int32_t id, int32_t size, uint32_t* argb) {
    if (size > MaxIconSize) return false;
    const ResourceBytes icon = FindResource(RES_ICON_GROUP, id);
    return DecodeIcon(icon.Data, icon.Size, size, argb);
}
