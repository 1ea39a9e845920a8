// The picture's stretch onto the window and the icon decoding, on pictures
// and icon files made here.
#include "platform/sdl_internal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A logical picture with a wider row pitch than its width, as the back
// buffer has; the padding holds a value that must never be shown.
constexpr uint32_t Padding = 0xDEADBEu;

struct Picture {
    int32_t width, height, pitch;
    std::vector<uint32_t> pixels;
    uint32_t& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y * pitch + x)]; }
};

Picture MakePicture(int32_t width, int32_t height) {
    Picture p{width, height, width + 3, {}};
    p.pixels.assign(static_cast<size_t>(p.pitch * height), Padding);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            p.At(x, y) = static_cast<uint32_t>(x | y << 12);
    return p;
}

struct Screen {
    int32_t width, height;
    std::vector<uint32_t> pixels;
    std::vector<uint32_t> last; // the stretch's memory of the last picture
    StretchTarget Target() { return StretchTarget{pixels.data(), width, height, width}; }
    uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

Screen MakeScreen(int32_t width, int32_t height, const Picture& picture) {
    return Screen{width, height, std::vector<uint32_t>(static_cast<size_t>(width * height), 0),
                  std::vector<uint32_t>(static_cast<size_t>(picture.width * picture.height), 0)};
}

int32_t Stretch(Picture& p, Screen& s, bool full, RowBand* bands, int32_t maxBands) {
    const StretchTarget target = s.Target();
    return StretchChanged(p.pixels.data(), p.width, p.height, p.pitch, s.last.data(), full, target,
                          bands, maxBands);
}

TEST(PictureStretch, AWholeScaleMakesEveryPixelASquare) {
    Picture p = MakePicture(320, 240);
    Screen s = MakeScreen(640, 480, p);
    RowBand bands[4];
    ASSERT_EQ(Stretch(p, s, true, bands, 4), 1);
    EXPECT_EQ(bands[0].top, 0);
    EXPECT_EQ(bands[0].bottom, 480);
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x)
            ASSERT_EQ(s.At(x, y), p.At(x / 2, y / 2)) << "window pixel " << x << "," << y;
}

TEST(PictureStretch, AnUnevenScaleShowsEverySourcePixelInOrder) {
    // 1920 x 1080 over the 426 x 240 logical picture: 4.5 to 4.51 each way.
    Picture p = MakePicture(426, 240);
    Screen s = MakeScreen(1920, 1080, p);
    RowBand bands[4];
    ASSERT_EQ(Stretch(p, s, true, bands, 4), 1);
    int32_t column = 0, run = 0;
    for (int32_t x = 0; x < 1920; ++x) {
        const int32_t shown = static_cast<int32_t>(s.At(x, 0) & 0xFFF);
        if (shown != column) {
            ASSERT_EQ(shown, column + 1) << "a column skipped at window x " << x;
            EXPECT_TRUE(run == 4 || run == 5) << "column " << column << " is " << run << " wide";
            column = shown;
            run = 0;
        }
        ++run;
    }
    EXPECT_EQ(column, 425);
    int32_t row = 0;
    for (int32_t y = 0; y < 1080; ++y) {
        const int32_t shown = static_cast<int32_t>(s.At(0, y) >> 12);
        ASSERT_TRUE(shown == row || shown == row + 1) << "a row skipped at window y " << y;
        row = shown;
    }
    EXPECT_EQ(row, 239);
    for (uint32_t v : s.pixels)
        ASSERT_NE(v, Padding) << "the row padding was shown";
}

TEST(PictureStretch, OnlyChangedRowsAreRedrawn) {
    Picture p = MakePicture(320, 240);
    Screen s = MakeScreen(640, 480, p);
    RowBand bands[2];
    ASSERT_EQ(Stretch(p, s, true, bands, 2), 1);

    // Nothing changed: nothing drawn (the marker stays).
    constexpr uint32_t Marker = 0x123456;
    std::fill(s.pixels.begin(), s.pixels.end(), Marker);
    EXPECT_EQ(Stretch(p, s, false, bands, 2), 0);
    EXPECT_EQ(s.At(100, 100), Marker);

    // One changed logical row: its two window rows, and only those.
    p.At(7, 5) = 0xFF0000;
    ASSERT_EQ(Stretch(p, s, false, bands, 2), 1);
    EXPECT_EQ(bands[0].top, 10);
    EXPECT_EQ(bands[0].bottom, 12);
    EXPECT_EQ(s.At(14, 10), 0xFF0000u);
    EXPECT_EQ(s.At(15, 11), 0xFF0000u);
    EXPECT_EQ(s.At(16, 10), p.At(8, 5));
    EXPECT_EQ(s.At(14, 9), Marker);
    EXPECT_EQ(s.At(14, 12), Marker);
    EXPECT_EQ(Stretch(p, s, false, bands, 2), 0) << "the change was remembered";

    // More separate changes than bands: the last band covers the rest.
    p.At(0, 1) = 1;
    p.At(0, 100) = 2;
    p.At(0, 200) = 3;
    ASSERT_EQ(Stretch(p, s, false, bands, 2), 2);
    EXPECT_EQ(bands[0].top, 2);
    EXPECT_EQ(bands[0].bottom, 4);
    EXPECT_EQ(bands[1].top, 200);
    EXPECT_EQ(bands[1].bottom, 402);
    EXPECT_EQ(s.At(0, 401), 3u);

    // A full redraw draws everything, changed or not.
    std::fill(s.pixels.begin(), s.pixels.end(), Marker);
    ASSERT_EQ(Stretch(p, s, true, bands, 2), 1);
    EXPECT_EQ(s.At(100, 100), p.At(50, 50));
}

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
uint32_t PaletteColour(uint32_t i) {
    return (i * 16) << 16 | (255 - i * 16) << 8 | (i + 1);
}

std::vector<uint8_t> IconImageBytes(const MadeIcon& icon) {
    std::vector<uint8_t> v;
    const int32_t n = icon.size;
    Put32(v, 40);
    Put32(v, static_cast<uint32_t>(n));
    Put32(v, static_cast<uint32_t>(2 * n));
    Put16(v, 1);
    Put16(v, static_cast<uint32_t>(icon.bits));
    for (int i = 0; i < 6; ++i)
        Put32(v, 0); // compression ... important colours
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
    for (const MadeIcon& s : icons)
        images.push_back(IconImageBytes(s));
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
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());
    return file;
}

uint32_t Diagonal(int32_t x, int32_t y) {
    return static_cast<uint32_t>(x + 2 * y) % 16;
}
uint32_t Corner(int32_t x, int32_t y) {
    return x < 4 && y < 2 ? 15 : 3;
}
uint32_t AllWhite(int32_t, int32_t) {
    return 1;
}
bool NoMask(int32_t, int32_t) {
    return false;
}
bool MaskedDiagonal(int32_t x, int32_t y) {
    return x == y;
}

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
