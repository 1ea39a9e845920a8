// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding the game's own bitmaps, and refusing everything else: the real
// resources, bitmaps made here, and every way of breaking one.
#include "platform/bitmap.h"
#include "platform/resources.h"
#include "render/sprites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Decoded {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
    int32_t asked = 0; // times storage was asked for
    bool decline = false;
};

uint32_t* Allocate(int32_t width, int32_t height, void* context) {
    auto* d = static_cast<Decoded*>(context);
    ++d->asked;
    if (d->decline) return nullptr;
    d->width = width;
    d->height = height;
    d->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xDEADBEEF);
    return d->pixels.data();
}

bool Decode(const std::vector<uint8_t>& bytes, Decoded* d) {
    return DecodeBitmap(bytes.data(), bytes.size(), Allocate, d);
}

// Little-endian numbers of `bytes` bytes, appended or written over.
void PutLe(std::vector<uint8_t>& v, uint32_t x, int bytes) {
    for (int i = 0; i < bytes; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<uint8_t>& v, uint32_t x) { PutLe(v, x, 2); }
void Put32(std::vector<uint8_t>& v, uint32_t x) { PutLe(v, x, 4); }
void Set32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + static_cast<size_t>(i)] = static_cast<uint8_t>(x >> (8 * i));
}

// A bitmap as the asset generator writes one: `rows` top row first, one
// palette index a pixel; colour i of the palette is 0x00i0i0i0-ish.
std::vector<uint8_t> MakeBitmap(const std::vector<std::vector<uint8_t>>& rows, int bits,
                                uint32_t colours) {
    const auto width = static_cast<uint32_t>(rows[0].size());
    const auto height = static_cast<uint32_t>(rows.size());
    const uint32_t stride = (width * static_cast<uint32_t>(bits) + 31) / 32 * 4;
    const uint32_t offset = 14 + 40 + 4 * colours;
    std::vector<uint8_t> b = {'B', 'M'};
    Put32(b, offset + stride * height);
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, width);
    Put32(b, height);
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(bits));
    Put32(b, 0);
    Put32(b, stride * height);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, colours);
    Put32(b, 0);
    for (uint32_t i = 0; i < colours; ++i) {
        b.push_back(static_cast<uint8_t>(i * 3));   // blue
        b.push_back(static_cast<uint8_t>(i * 5));   // green
        b.push_back(static_cast<uint8_t>(255 - i)); // red
        b.push_back(0);
    }
    for (uint32_t y = height; y-- > 0;) { // bottom-up
        const size_t start = b.size();
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t index = rows[y][x];
            if (bits == 8)
                b.push_back(index);
            else if (x % 2 == 0)
                b.push_back(static_cast<uint8_t>(index << 4));
            else
                b.back() = static_cast<uint8_t>(b.back() | index);
        }
        while (b.size() - start < stride) b.push_back(0xAB); // padding is never shown
    }
    return b;
}

uint32_t Colour(uint32_t i) { return (255 - i) << 16 | (i * 5 & 0xFF) << 8 | (i * 3 & 0xFF); }

const std::vector<std::vector<uint8_t>> Rows = {{1, 2, 3}, {4, 5, 15}};

TEST(Bitmap, TheGamesOwnBitmapsDecodeAtTheirSizes) {
    const struct {
        int32_t id, width, height;
    } expected[3] = {{BITMAP_SPRITES, SpriteSheetWidth, SpriteSheetHeight},
                     {BITMAP_TITLE, 320, 320},
                     {BITMAP_PLAY, 320, 320}};
    for (const auto& e : expected) {
        const ResourceBytes r = FindResource(RES_BITMAP, e.id);
        Decoded d;
        ASSERT_TRUE(DecodeBitmap(r.Data, r.Size, Allocate, &d)) << e.id;
        EXPECT_EQ(d.width, e.width);
        EXPECT_EQ(d.height, e.height);
        EXPECT_EQ(d.asked, 1);
        if (e.id == BITMAP_SPRITES) {
            // Every pixel of the sheet is a colour of its palette; the top
            // row begins with the digit 0's white and black.
            for (uint32_t p : d.pixels)
                ASSERT_NE(std::find(std::begin(SheetPalette), std::end(SheetPalette), p),
                          std::end(SheetPalette));
        }
    }
}

TEST(Bitmap, FourAndEightBitPixelsComeOutTopRowFirst) {
    for (int bits : {4, 8}) {
        Decoded d;
        ASSERT_TRUE(Decode(MakeBitmap(Rows, bits, 16), &d)) << bits;
        ASSERT_EQ(d.width, 3);
        ASSERT_EQ(d.height, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(d.pixels[static_cast<size_t>(y * 3 + x)], Colour(Rows[y][x]))
                    << bits << " bits, pixel " << x << "," << y;
    }
    // A palette of fewer colours than the depth allows, used to the full.
    Decoded d;
    ASSERT_TRUE(Decode(MakeBitmap({{0, 1}, {1, 0}}, 8, 2), &d));
    EXPECT_EQ(d.pixels[1], Colour(1));
}

TEST(Bitmap, EveryCutOfABitmapIsRefusedWithoutReadingPastIt) {
    const std::vector<uint8_t> whole = MakeBitmap(Rows, 4, 16);
    for (size_t n = 0; n < whole.size(); ++n) {
        // A buffer of exactly the cut's size: a read past it shows under
        // the sanitizers.
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(n));
        Decoded d;
        EXPECT_FALSE(DecodeBitmap(cut.data(), cut.size(), Allocate, &d)) << n << " bytes";
        EXPECT_EQ(d.asked, 0) << "nothing is asked for before the bitmap is known whole";
    }
    Decoded d;
    EXPECT_FALSE(DecodeBitmap(nullptr, 0, Allocate, &d));
    EXPECT_FALSE(DecodeBitmap(whole.data(), whole.size(), nullptr, &d));
}

TEST(Bitmap, OtherKindsOfBitmapAreRefused) {
    const std::vector<uint8_t> good = MakeBitmap(Rows, 8, 16);
    const struct {
        const char* what;
        size_t at;
        uint32_t value;
        bool wide; // a 32-bit field, else 16
    } breaks[] = {
        {"not BM", 0, 'X' | 'M' << 8, false},
        {"a larger info header", 14, 108, true},
        {"a core header", 14, 12, true},
        {"zero width", 18, 0, true},
        {"a top-down bitmap", 22, static_cast<uint32_t>(-2), true},
        {"two planes", 26, 2, false},
        {"one bit a pixel", 28, 1, false},
        {"24 bits a pixel", 28, 24, false},
        {"run-length compressed", 30, 1, true},
        {"a palette larger than the depth allows", 46, 257, true},
        {"pixels starting inside the palette", 10, 14 + 40 + 4, true},
        {"pixels starting past the end", 10, 1u << 30, true},
        {"a width beyond any picture", 18, 1u << 20, true},
    };
    for (const auto& b : breaks) {
        std::vector<uint8_t> bad = good;
        if (b.wide)
            Set32(bad, b.at, b.value);
        else {
            bad[b.at] = static_cast<uint8_t>(b.value);
            bad[b.at + 1] = static_cast<uint8_t>(b.value >> 8);
        }
        Decoded d;
        EXPECT_FALSE(Decode(bad, &d)) << b.what;
        EXPECT_EQ(d.asked, 0) << b.what;
    }
}

TEST(Bitmap, APixelNamingAColourThePaletteLacksIsRefused) {
    // Index 15 with only 8 colours in the palette.
    Decoded d;
    EXPECT_FALSE(Decode(MakeBitmap(Rows, 4, 8), &d));
    EXPECT_EQ(d.asked, 0);
    // Storage declined: nothing decoded.
    d.decline = true;
    EXPECT_FALSE(Decode(MakeBitmap(Rows, 4, 16), &d));
    EXPECT_EQ(d.asked, 1);
}

} // namespace
