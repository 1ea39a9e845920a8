// SPDX-License-Identifier: GPL-3.0-or-later
// The picture's stretch onto the window, on pictures made here.
#include "platform/stretch.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        for (int32_t x = 0; x < width; ++x) p.At(x, y) = static_cast<uint32_t>(x | y << 12);
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
    for (uint32_t v : s.pixels) ASSERT_NE(v, Padding) << "the row padding was shown";
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

TEST(PictureFit, TheShapeIsKeptOnAWindowOfAnotherShape) {
    // The laid-out size, and any size of the same shape: the whole window.
    const FitRect same = FitPicture(640, 480, 640, 480);
    EXPECT_EQ(same.x, 0);
    EXPECT_EQ(same.y, 0);
    EXPECT_EQ(same.width, 640);
    EXPECT_EQ(same.height, 480);
    const FitRect twice = FitPicture(640, 480, 1280, 960);
    EXPECT_EQ(twice.width, 1280);
    EXPECT_EQ(twice.height, 960);
    // Taller: bands above and below; wider: bands left and right.
    const FitRect tall = FitPicture(640, 480, 500, 700);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.y, 162);
    EXPECT_EQ(tall.width, 500);
    EXPECT_EQ(tall.height, 375);
    const FitRect wide = FitPicture(480, 640, 1920, 1080);
    EXPECT_EQ(wide.x, 555);
    EXPECT_EQ(wide.y, 0);
    EXPECT_EQ(wide.width, 810);
    EXPECT_EQ(wide.height, 1080);
    // Never empty, however thin the window.
    const FitRect thin = FitPicture(640, 480, 1, 1000);
    EXPECT_EQ(thin.width, 1);
    EXPECT_EQ(thin.height, 1);
    EXPECT_EQ(thin.y, 499);

    // Positions through the rectangle, beside it to its edge.
    int32_t x = 0, y = 0;
    // The last window pixel shows the pixel the stretch put there.
    FitToPicture(tall, 640, 480, 499, 162 + 374, &x, &y);
    EXPECT_EQ(x, 638);
    EXPECT_EQ(y, 478);
    FitToPicture(tall, 640, 480, 0, 0, &x, &y);
    EXPECT_EQ(y, 0);
    FitToPicture(tall, 640, 480, 250, 699, &x, &y);
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 479);
    FitToPicture(same, 640, 480, 321, 17, &x, &y);
    EXPECT_EQ(x, 321);
    EXPECT_EQ(y, 17);
}

TEST(PictureFit, TheStretchFillsTheRectangleAndBlackensTheRest) {
    // A 64 x 48 picture laid out for 128 x 96, on a window now 100 x 140:
    // the picture at rows 32 to 106, 100 x 75.
    Picture p = MakePicture(64, 48);
    Screen s = MakeScreen(100, 140, p);
    std::fill(s.pixels.begin(), s.pixels.end(), 0x123456u);
    const FitRect fit = FitPicture(128, 96, 100, 140);
    ASSERT_EQ(fit.y, 32);
    ASSERT_EQ(fit.height, 75);
    RowBand bands[4];
    ASSERT_EQ(StretchFitted(p.pixels.data(), p.width, p.height, p.pitch, s.last.data(), true,
                            s.Target(), fit, bands, 4),
              1);
    EXPECT_EQ(bands[0].top, 0);
    EXPECT_EQ(bands[0].bottom, 140);
    for (int32_t y = 0; y < 140; ++y)
        for (int32_t x = 0; x < 100; ++x) {
            const bool inside = y >= 32 && y < 107;
            const uint32_t want = inside ? p.At(x * 64 / 100, (y - 32) * 48 / 75) : 0u;
            ASSERT_EQ(s.At(x, y), want) << "window pixel " << x << "," << y;
        }
    // A change: only its rows, counted from the window's top.
    p.At(10, 47) = 0xFF0000;
    ASSERT_EQ(StretchFitted(p.pixels.data(), p.width, p.height, p.pitch, s.last.data(), false,
                            s.Target(), fit, bands, 4),
              1);
    EXPECT_EQ(bands[0].top, 32 + 74);
    EXPECT_EQ(bands[0].bottom, 32 + 75);
    EXPECT_EQ(s.At(16, 106), 0xFF0000u);
    EXPECT_EQ(s.At(16, 107), 0u);
}

} // namespace
