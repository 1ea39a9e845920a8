// SPDX-License-Identifier: GPL-3.0-or-later
// The icon decoding, on icon files made here.
#include "platform/icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// An icon file of the old platform's kind: a directory, then per image a
// bitmap header with doubled height, a palette, the colour bits and the
// transparency mask, rows bottom-up.
struct MadeIcon {
    int32_t size;
    int32_t bits; // 1 or 4
    uint32_t (*index)(int32_t x, int32_t y);
    bool (*masked)(int32_t x, int32_t y);
};

void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// Palette entry i of the made-up 16-colour icons.
uint32_t PaletteColour(uint32_t i) { return (i * 16) << 16 | (255 - i * 16) << 8 | (i + 1); }

std::vector<uint8_t> IconImageBytes(const MadeIcon& icon) {
    std::vector<uint8_t> v;
    const int32_t n = icon.size;
    Put32(v, 40);
    Put32(v, static_cast<uint32_t>(n));
    Put32(v, static_cast<uint32_t>(2 * n));
    Put16(v, 1);
    Put16(v, static_cast<uint32_t>(icon.bits));
    for (int i = 0; i < 6; ++i) Put32(v, 0); // compression ... important colours
    const uint32_t colours = 1u << icon.bits;
    for (uint32_t i = 0; i < colours; ++i) {
        const uint32_t c = icon.bits == 1 ? (i != 0 ? 0xFFFFFF : 0) : PaletteColour(i);
        v.push_back(static_cast<uint8_t>(c));
        v.push_back(static_cast<uint8_t>(c >> 8));
        v.push_back(static_cast<uint8_t>(c >> 16));
        v.push_back(0);
    }
    const size_t xorStride = static_cast<size_t>((n * icon.bits + 31) / 32) * 4;
    const size_t andStride = static_cast<size_t>((n + 31) / 32) * 4;
    for (int32_t row = n - 1; row >= 0; --row) {
        std::vector<uint8_t> line(xorStride, 0);
        for (int32_t x = 0; x < n; ++x) {
            const int32_t bit = x * icon.bits;
            line[static_cast<size_t>(bit / 8)] |=
                static_cast<uint8_t>(icon.index(x, row) << (8 - icon.bits - bit % 8));
        }
        v.insert(v.end(), line.begin(), line.end());
    }
    for (int32_t row = n - 1; row >= 0; --row) {
        std::vector<uint8_t> line(andStride, 0);
        for (int32_t x = 0; x < n; ++x)
            if (icon.masked(x, row))
                line[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        v.insert(v.end(), line.begin(), line.end());
    }
    return v;
}

std::vector<uint8_t> IconFile(const std::vector<MadeIcon>& icons) {
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, static_cast<uint32_t>(icons.size()));
    std::vector<std::vector<uint8_t>> images;
    images.reserve(icons.size());
    for (const MadeIcon& s : icons) images.push_back(IconImageBytes(s));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(icons.size());
    for (size_t i = 0; i < icons.size(); ++i) {
        file.push_back(static_cast<uint8_t>(icons[i].size));
        file.push_back(static_cast<uint8_t>(icons[i].size));
        file.push_back(static_cast<uint8_t>(icons[i].bits == 4 ? 16 : 2));
        file.push_back(0);
        Put16(file, 1);
        Put16(file, static_cast<uint32_t>(icons[i].bits));
        Put32(file, static_cast<uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    return file;
}

uint32_t Diagonal(int32_t x, int32_t y) { return static_cast<uint32_t>(x + 2 * y) % 16; }
uint32_t Corner(int32_t x, int32_t y) { return x < 4 && y < 2 ? 15 : 3; }
uint32_t AllWhite(int32_t, int32_t) { return 1; }
bool NoMask(int32_t, int32_t) { return false; }
bool MaskedDiagonal(int32_t x, int32_t y) { return x == y; }

// Like the game's icon: 32 x 32 in 16 colours, 16 x 16 in 16 colours, and
// 32 x 32 in 2 colours last.
std::vector<uint8_t> GameLikeIcon() {
    return IconFile(
        {{32, 4, Diagonal, MaskedDiagonal}, {16, 4, Corner, NoMask}, {32, 1, AllWhite, NoMask}});
}

TEST(IconDecoding, TakesTheDeepestImageOfTheWantedSizeTopRowFirst) {
    const std::vector<uint8_t> file = GameLikeIcon();
    std::vector<uint32_t> argb(32 * 32, 0);
    ASSERT_TRUE(DecodeIcon(file.data(), file.size(), 32, argb.data()));
    for (int32_t y = 0; y < 32; ++y)
        for (int32_t x = 0; x < 32; ++x) {
            const uint32_t alpha = x == y ? 0u : 0xFF000000u;
            ASSERT_EQ(argb[static_cast<size_t>(y * 32 + x)], alpha | PaletteColour(Diagonal(x, y)))
                << "pixel " << x << "," << y;
        }

    std::vector<uint32_t> small(16 * 16, 0);
    ASSERT_TRUE(DecodeIcon(file.data(), file.size(), 16, small.data()));
    EXPECT_EQ(small[0], 0xFF000000u | PaletteColour(15));
    EXPECT_EQ(small[1 * 16 + 3], 0xFF000000u | PaletteColour(15));
    EXPECT_EQ(small[2 * 16 + 3], 0xFF000000u | PaletteColour(3)) << "row 2 is below the corner";
    EXPECT_EQ(small[15 * 16 + 15], 0xFF000000u | PaletteColour(3));

    // The 2-colour image when it is the only one of its size.
    const std::vector<uint8_t> mono = IconFile({{32, 1, AllWhite, NoMask}});
    ASSERT_TRUE(DecodeIcon(mono.data(), mono.size(), 32, argb.data()));
    EXPECT_EQ(argb[0], 0xFFFFFFFFu);
    EXPECT_EQ(argb[32 * 32 - 1], 0xFFFFFFFFu);
}

TEST(IconDecoding, RefusesWhatItCannotRead) {
    const std::vector<uint8_t> file = GameLikeIcon();
    std::vector<uint32_t> argb(48 * 48, 0);
    EXPECT_FALSE(DecodeIcon(file.data(), file.size(), 48, argb.data())) << "no such size";
    EXPECT_FALSE(DecodeIcon(nullptr, 0, 32, argb.data())) << "no resource yet";
    // Cut short inside the 16-colour image: the 2-colour one is taken.
    const std::vector<uint8_t> twoKinds =
        IconFile({{32, 1, AllWhite, NoMask}, {32, 4, Diagonal, MaskedDiagonal}});
    const std::vector<uint8_t> cut(twoKinds.begin(), twoKinds.end() - 10);
    ASSERT_TRUE(DecodeIcon(cut.data(), cut.size(), 32, argb.data()));
    EXPECT_EQ(argb[0], 0xFFFFFFFFu);
    const std::vector<uint8_t> mono = IconFile({{32, 1, AllWhite, NoMask}});
    const std::vector<uint8_t> monoCut(mono.begin(), mono.end() - 1);
    EXPECT_FALSE(DecodeIcon(monoCut.data(), monoCut.size(), 32, argb.data()));
    // Not an icon file (a cursor file has type 2).
    std::vector<uint8_t> cursor = file;
    cursor[2] = 2;
    EXPECT_FALSE(DecodeIcon(cursor.data(), cursor.size(), 32, argb.data()));
}

} // namespace
