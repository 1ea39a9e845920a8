// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/bmp.h"

Bytes EncodeBmp(const IndexedImage& image, const uint32_t* palette, int32_t bits) {
    const uint32_t colours = 1u << bits;
    const uint32_t rowBytes =
        ((static_cast<uint32_t>(image.Width) * static_cast<uint32_t>(bits) + 31u) / 32u) * 4u;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(image.Height);
    const uint32_t offset = 14u + 40u + 4u * colours;

    Bytes out;
    PutU8(out, 'B');
    PutU8(out, 'M');
    PutU32(out, offset + pixelBytes);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU32(out, offset);

    PutU32(out, 40);
    PutI32(out, image.Width);
    PutI32(out, image.Height); // positive: bottom-up
    PutU16(out, 1);            // planes
    PutU16(out, static_cast<uint32_t>(bits));
    PutU32(out, 0); // uncompressed
    PutU32(out, pixelBytes);
    PutI32(out, 2835); // 72 dots per inch
    PutI32(out, 2835);
    PutU32(out, colours); // colours used
    PutU32(out, 0);       // all of them important

    for (uint32_t i = 0; i < colours; i++) {
        PutU8(out, palette[i]);       // blue
        PutU8(out, palette[i] >> 8);  // green
        PutU8(out, palette[i] >> 16); // red
        PutU8(out, 0);
    }

    for (int32_t y = image.Height - 1; y >= 0; y--) {
        size_t rowStart = out.size();
        if (bits == 8) {
            for (int32_t x = 0; x < image.Width; x++) PutU8(out, GetIndex(image, x, y));
        } else {
            for (int32_t x = 0; x < image.Width; x += 2) {
                uint32_t hi = GetIndex(image, x, y) & 15u;
                uint32_t lo = x + 1 < image.Width ? GetIndex(image, x + 1, y) & 15u : 0u;
                PutU8(out, (hi << 4) | lo);
            }
        }
        while (out.size() - rowStart < rowBytes) PutU8(out, 0);
    }
    return out;
}
