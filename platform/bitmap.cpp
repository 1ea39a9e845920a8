// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/bitmap.h"

#include "platform/bitmap_header.h"
#include "platform/bytes.h"

namespace {
constexpr size_t FileHeaderSize = 14;
// Far beyond any picture of the game; keeps every size sum in range.
constexpr int32_t MaxSide = 16384;

struct BitmapLayout {
    int32_t width, height, bits;
    const uint8_t* palette;
    uint32_t colours;
    const uint8_t* pixels; // the bottom row first
    size_t stride;         // bytes a row, padded to 4
};

bool ReadLayout(const uint8_t* data, size_t size, BitmapLayout* b) {
    if (data == nullptr || size < FileHeaderSize + BitmapInfoHeaderSize) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t pixelOffset = ReadLe32(data + 10);
    const BitmapInfoHeader info = ReadBitmapInfoHeader(data + FileHeaderSize);
    const int32_t width = info.Width, height = info.Height, bits = info.Bits;
    // A negative height would be a top-down bitmap: not one of ours.
    if (info.Size != BitmapInfoHeaderSize || info.Planes != 1 || info.Compression != 0)
        return false;
    if (bits != 4 && bits != 8) return false;
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide) return false;
    const uint32_t colours = PaletteColours(info);
    if (colours > (1u << bits)) return false;

    const size_t paletteAt = FileHeaderSize + BitmapInfoHeaderSize;
    const size_t stride = BitmapStride(width, bits);
    if (size - paletteAt < static_cast<size_t>(colours) * 4) return false;
    if (pixelOffset < paletteAt + static_cast<size_t>(colours) * 4 || pixelOffset > size ||
        (size - pixelOffset) / stride < static_cast<size_t>(height))
        return false;
    *b = BitmapLayout{width, height, bits, data + paletteAt, colours, data + pixelOffset, stride};
    return true;
}

uint32_t IndexAt(const BitmapLayout& b, const uint8_t* row, int32_t x) {
    if (b.bits == 8) return row[x];
    const uint8_t pair = row[x / 2];
    return x % 2 == 0 ? pair >> 4 : pair & 15u;
}

const uint8_t* RowOf(const BitmapLayout& b, int32_t y) {
    // Stored bottom-up: picture row y is stored row height - 1 - y.
    return b.pixels + static_cast<size_t>(b.height - 1 - y) * b.stride;
}

// Every pixel names a colour of the palette.
bool IndicesInPalette(const BitmapLayout& b) {
    for (int32_t y = 0; y < b.height; ++y) {
        const uint8_t* row = RowOf(b, y);
        for (int32_t x = 0; x < b.width; ++x)
            if (IndexAt(b, row, x) >= b.colours) return false;
    }
    return true;
}
} // namespace

bool DecodeBitmap(const uint8_t* data, size_t size, PixelAllocator allocate, void* context) {
    BitmapLayout b{};
    if (allocate == nullptr || !ReadLayout(data, size, &b) || !IndicesInPalette(b)) return false;
    uint32_t rgb[256];
    for (uint32_t i = 0; i < b.colours; ++i) {
        const uint8_t* c = b.palette + 4 * i; // blue, green, red, unused
        rgb[i] = static_cast<uint32_t>(c[2]) << 16 | static_cast<uint32_t>(c[1]) << 8 | c[0];
    }
    uint32_t* out = allocate(b.width, b.height, context);
    if (out == nullptr) return false;
    for (int32_t y = 0; y < b.height; ++y) {
        const uint8_t* row = RowOf(b, y);
        uint32_t* line = out + static_cast<size_t>(y) * static_cast<size_t>(b.width);
        for (int32_t x = 0; x < b.width; ++x) line[x] = rgb[IndexAt(b, row, x)];
    }
    return true;
}
