// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/icon.h"

#include "tools/gen-assets/sheet.h"

#include "render/sprites.h"
#include "tools/png.h"

#include <vector>

namespace {

// The monochrome picture: a white octagon with a black rim and arrow and a
// white gem in the arrow.
void PaintMonochrome(IndexedImage& picture, int32_t size) {
    IndexedImage colour = MakeIndexed(size, size, 0);
    PaintArrowTile(colour, 0, 0, size, 1);
    const int32_t gemLo = size / 2 - 3, gemHi = size / 2 + 3;
    for (int32_t y = 0; y < size; y++)
        for (int32_t x = 0; x < size; x++) {
            uint8_t c = GetIndex(colour, x, y);
            bool gem = x >= gemLo && x < gemHi && y >= gemLo && y < gemHi;
            uint8_t ink = 0;
            if (!InTileOctagon(size, x, y) || c == INK_DARK_BLUE)
                ink = 0;
            else if (c == INK_YELLOW || c == INK_BRIGHT_GREEN || gem)
                ink = 1;
            SetIndex(picture, x, y, ink);
        }
}

// The rows of `image` bottom-up, `bits` bits a pixel packed from the high
// bit down, each row padded to `rowBytes`.
void PutPackedRows(Bytes& out, const IndexedImage& image, int32_t bits, uint32_t rowBytes) {
    const uint32_t mask = (1u << bits) - 1u;
    for (int32_t y = image.Height - 1; y >= 0; y--) {
        const size_t start = out.size();
        uint32_t acc = 0;
        int32_t filled = 0;
        for (int32_t x = 0; x < image.Width; x++) {
            acc = (acc << bits) | (GetIndex(image, x, y) & mask);
            filled += bits;
            if (filled == 8) {
                PutU8(out, acc);
                acc = 0;
                filled = 0;
            }
        }
        while (out.size() - start < rowBytes) PutU8(out, 0);
    }
}

// One icon image: BITMAPINFOHEADER with doubled height, palette, the
// colour bits and the see-through mask, both bottom-up.
Bytes IconDib(const IconImage& icon) {
    const int32_t w = icon.Picture.Width, h = icon.Picture.Height, bits = icon.Bits;
    const uint32_t colours = 1u << bits;
    const uint32_t xorRow = ((static_cast<uint32_t>(w * bits) + 31u) / 32u) * 4u;
    const uint32_t andRow = ((static_cast<uint32_t>(w) + 31u) / 32u) * 4u;
    Bytes out;
    PutU32(out, 40);
    PutI32(out, w);
    PutI32(out, 2 * h);
    PutU16(out, 1);
    PutU16(out, static_cast<uint32_t>(bits));
    PutU32(out, 0);
    PutU32(out, (xorRow + andRow) * static_cast<uint32_t>(h));
    PutI32(out, 0);
    PutI32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    for (uint32_t i = 0; i < colours; i++) {
        uint32_t c = bits == 1 ? (i == 0 ? 0x000000u : 0xFFFFFFu) : SheetPalette[i];
        PutU8(out, c);
        PutU8(out, c >> 8);
        PutU8(out, c >> 16);
        PutU8(out, 0);
    }
    PutPackedRows(out, icon.Picture, bits, xorRow);
    PutPackedRows(out, icon.Clear, 1, andRow);
    return out;
}

} // namespace

IconImage IconPicture(int32_t size, int32_t bits) {
    IconImage icon;
    icon.Bits = bits;
    icon.Picture = MakeIndexed(size, size, 0);
    icon.Clear = MakeIndexed(size, size, 0);
    if (bits == 1)
        PaintMonochrome(icon.Picture, size);
    else
        PaintArrowTile(icon.Picture, 0, 0, size, 1);
    for (int32_t y = 0; y < size; y++)
        for (int32_t x = 0; x < size; x++)
            if (!InTileOctagon(size, x, y)) {
                // Black under a set mask bit leaves the screen unchanged.
                SetIndex(icon.Clear, x, y, 1);
                SetIndex(icon.Picture, x, y, 0);
            }
    return icon;
}

Bytes EncodeIcon() {
    const IconImage images[3] = {IconPicture(32, 4), IconPicture(16, 4), IconPicture(32, 1)};
    Bytes dibs[3];
    for (int32_t i = 0; i < 3; i++) dibs[i] = IconDib(images[i]);

    Bytes out;
    PutU16(out, 0); // reserved
    PutU16(out, 1); // icon
    PutU16(out, 3);
    uint32_t offset = 6 + 16 * 3;
    for (int32_t i = 0; i < 3; i++) {
        const IconImage& icon = images[i];
        PutU8(out, static_cast<uint32_t>(icon.Picture.Width));
        PutU8(out, static_cast<uint32_t>(icon.Picture.Height));
        PutU8(out, icon.Bits == 1 ? 2u : 16u); // colours
        PutU8(out, 0);
        PutU16(out, 1); // planes
        PutU16(out, static_cast<uint32_t>(icon.Bits));
        PutU32(out, static_cast<uint32_t>(dibs[i].size()));
        PutU32(out, offset);
        offset += static_cast<uint32_t>(dibs[i].size());
    }
    for (const Bytes& dib : dibs) out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

Bytes EncodeDesktopIcon(int32_t size) {
    if (size <= 0 || size % 16 != 0) return {};
    const int32_t base = size % 32 == 0 ? 32 : 16;
    const int32_t scale = size / base;
    const IconImage icon = IconPicture(base, 4);
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * static_cast<size_t>(size));
    for (int32_t y = 0; y < size; y++)
        for (int32_t x = 0; x < size; x++) {
            // size is a positive multiple of 16 and base divides it, so
            // scale is at least 1.
            // cppcheck-suppress zerodivcond
            const int32_t u = x / scale, v = y / scale;
            const bool clear = GetIndex(icon.Clear, u, v) != 0;
            const uint32_t colour = SheetPalette[GetIndex(icon.Picture, u, v) & 15u];
            pixels[static_cast<size_t>(y * size + x)] = clear ? 0u : 0xFF000000u | colour;
        }
    return EncodePngAlpha(pixels.data(), size, size, size);
}

Bytes EncodeMaskableIcon(int32_t size) {
    if (size <= 0 || size % 128 != 0) return {};
    const int32_t scale = size / 64; // the 32-pixel picture at half the width
    const int32_t offset = (size - 32 * scale) / 2;
    const IconImage icon = IconPicture(32, 4);
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * static_cast<size_t>(size),
                                 0xFF000000u);
    for (int32_t y = 0; y < 32 * scale; y++)
        for (int32_t x = 0; x < 32 * scale; x++) {
            const int32_t u = x / scale, v = y / scale;
            if (GetIndex(icon.Clear, u, v) != 0) continue;
            pixels[static_cast<size_t>((offset + y) * size + offset + x)] =
                0xFF000000u | SheetPalette[GetIndex(icon.Picture, u, v) & 15u];
        }
    return EncodePngAlpha(pixels.data(), size, size, size);
}
