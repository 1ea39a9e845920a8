// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/font.h"
#include "render/surface.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A surface filled with a distinct value per pixel, so stray writes show.
Surface Numbered(int w, int h, uint32_t base) {
    Surface s = CreateSurface(w, h);
    for (int i = 0; i < w * h; ++i) s.Pixels[i] = base + static_cast<uint32_t>(i);
    return s;
}

uint32_t At(const Surface& s, int x, int y) { return s.Pixels[y * s.Width + x]; }

struct SurfaceTest : ::testing::Test {
    Surface dest{}, src{};
    void TearDown() override {
        ReleaseSurface(dest);
        ReleaseSurface(src);
    }
};

TEST_F(SurfaceTest, RasterOperationsCombineBitwiseAsTheirTruthTablesSay) {
    dest = CreateSurface(4, 1);
    src = CreateSurface(4, 1);
    const uint32_t d[4] = {Black, Black, White, White};
    const uint32_t s[4] = {Black, White, Black, White};
    auto run = [&](RasterOp op) {
        std::memcpy(dest.Pixels, d, sizeof d);
        std::memcpy(src.Pixels, s, sizeof s);
        Blit(dest, 0, 0, 4, 1, src, 0, 0, op);
        return std::vector<uint32_t>(dest.Pixels, dest.Pixels + 4);
    };
    EXPECT_EQ(run(Copy), (std::vector<uint32_t>{Black, White, Black, White}));
    // And: white source leaves the destination, black blackens it.
    EXPECT_EQ(run(And), (std::vector<uint32_t>{Black, Black, Black, White}));
    // Paint: black source leaves the destination, white whitens it.
    EXPECT_EQ(run(Paint), (std::vector<uint32_t>{Black, White, White, White}));

    // On colours the operations are bitwise on the value.
    dest.Pixels[0] = 0x123456;
    src.Pixels[0] = 0x0F0F0F;
    Blit(dest, 0, 0, 1, 1, src, 0, 0, And);
    EXPECT_EQ(dest.Pixels[0], 0x020406u);
    Blit(dest, 0, 0, 1, 1, src, 0, 0, Paint);
    EXPECT_EQ(dest.Pixels[0], 0x0F0F0Fu);

    Fill(dest, 1, 0, 2, 1, Whiteness);
    EXPECT_EQ(dest.Pixels[1], White);
    EXPECT_EQ(dest.Pixels[3], White);
    Fill(dest, 0, 0, 4, 1, Blackness);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dest.Pixels[i], Black);
}

TEST_F(SurfaceTest, MaskThenImageDrawsTheShapeOpaqueAndLeavesTheSurroundings) {
    // A 3x1 logo: red, white, yellow; its mask white where the logo is
    // coloured and black where it is white.
    src = CreateSurface(3, 2);
    const uint32_t image[3] = {0xFF0000, White, 0xFFFF00};
    for (int x = 0; x < 3; ++x) {
        src.Pixels[x] = image[x];
        src.Pixels[3 + x] = image[x] == White ? Black : White;
    }
    dest = CreateSurface(3, 1);
    const uint32_t photo[3] = {0x336699, 0x445566, 0x778899};
    std::memcpy(dest.Pixels, photo, sizeof photo);
    Blit(dest, 0, 0, 3, 1, src, 0, 1, Paint); // mask
    Blit(dest, 0, 0, 3, 1, src, 0, 0, And);   // image
    EXPECT_EQ(At(dest, 0, 0), 0xFF0000u);
    EXPECT_EQ(At(dest, 1, 0), 0x445566u) << "the logo's white shows the picture";
    EXPECT_EQ(At(dest, 2, 0), 0xFFFF00u);
}

TEST_F(SurfaceTest, BlitsAreClippedToBothSurfacesAtEveryEdge) {
    src = Numbered(4, 4, 100);
    struct Case {
        int x, y, w, h, sx, sy;
    };
    const Case cases[] = {
        {-2, 0, 4, 4, 0, 0},          {0, -3, 4, 4, 0, 0},  {6, 6, 4, 4, 0, 0},
        {-100, -100, 300, 300, 0, 0}, {0, 0, 4, 4, -1, -2}, {0, 0, 9, 9, 2, 2},
        {5, 5, 0, 3, 0, 0},           {5, 5, -3, 3, 0, 0},  {8, 0, 4, 4, 0, 0},
        {0, 0, 4, 4, 4, 0},           {1, 1, 2, 2, 3, 3},   {-2147483647, 3, 2147483647, 2, 0, 0},
    };
    for (const Case& c : cases) {
        ReleaseSurface(dest);
        dest = Numbered(8, 8, 1000);
        Blit(dest, c.x, c.y, c.w, c.h, src, c.sx, c.sy, Copy);
        // Every destination pixel is either untouched or the source pixel
        // that belongs there.
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const long long sx = c.sx + (static_cast<long long>(x) - c.x),
                                sy = c.sy + (static_cast<long long>(y) - c.y);
                const bool inside = x >= c.x && x < static_cast<long long>(c.x) + c.w && y >= c.y &&
                                    y < static_cast<long long>(c.y) + c.h && sx >= 0 && sx < 4 &&
                                    sy >= 0 && sy < 4;
                const uint32_t expected = inside ? 100u + static_cast<uint32_t>(sy * 4 + sx)
                                                 : 1000u + static_cast<uint32_t>(y * 8 + x);
                ASSERT_EQ(At(dest, x, y), expected)
                    << "blit " << c.x << "," << c.y << " " << c.w << "x" << c.h << " from " << c.sx
                    << "," << c.sy;
            }
        }
    }
    // An empty surface has nothing to draw and nothing to be drawn on.
    Surface empty = CreateSurface(0, 5);
    EXPECT_EQ(empty.Pixels, nullptr);
    Blit(dest, 0, 0, 4, 4, empty, 0, 0, Copy);
    Blit(empty, 0, 0, 4, 4, src, 0, 0, Copy);
    Fill(empty, 0, 0, 4, 4, Whiteness);
    StretchBlit(empty, 0, 0, 4, 4, src, 0, 0, 4, 4);
}

TEST_F(SurfaceTest, StretchIsNearestNeighbourAndClipped) {
    src = Numbered(2, 2, 10);
    dest = Numbered(5, 5, 0);
    StretchBlit(dest, 0, 0, 4, 4, src, 0, 0, 2, 2);
    EXPECT_EQ(At(dest, 0, 0), 10u);
    EXPECT_EQ(At(dest, 1, 1), 10u);
    EXPECT_EQ(At(dest, 2, 0), 11u);
    EXPECT_EQ(At(dest, 3, 3), 13u);
    EXPECT_EQ(At(dest, 4, 4), 24u) << "outside the target rectangle";

    // Partly off the destination: what lies inside keeps its mapping.
    ReleaseSurface(dest);
    dest = Numbered(3, 3, 0);
    StretchBlit(dest, -2, -2, 4, 4, src, 0, 0, 2, 2);
    EXPECT_EQ(At(dest, 0, 0), 13u);
    EXPECT_EQ(At(dest, 1, 1), 13u);
    EXPECT_EQ(At(dest, 2, 2), 8u) << "right of and below the target rectangle";

    // A non-whole factor, as 423 logical columns over 480 window pixels.
    Surface wide = Numbered(423, 1, 0);
    Surface window = CreateSurface(480, 1);
    StretchBlit(window, 0, 0, 480, 1, wide, 0, 0, 423, 1);
    for (int x = 0; x < 480; ++x) ASSERT_EQ(window.Pixels[x], static_cast<uint32_t>(x * 423 / 480));
    ReleaseSurface(wide);
    ReleaseSurface(window);
}

TEST_F(SurfaceTest, TextIsCentredAtTheTopOnItsOwnWhiteStripAndClipped) {
    dest = CreateSurface(200, 40);
    Fill(dest, 0, 0, 200, 40, Blackness);
    const char* text = " Hit a Key to Start ";
    const int width = TextWidth(text);
    DrawTextInRect(dest, text, TextRect{36, 10, 164, 26});
    const int left = 36 + (128 - width) / 2;
    // The strip is exactly the text's width, one line high, from the top.
    int whiteLeft = -1, whiteRight = -1;
    for (int x = 0; x < 200; ++x)
        if (At(dest, x, 10) == White) {
            if (whiteLeft < 0) whiteLeft = x;
            whiteRight = x;
        }
    EXPECT_EQ(whiteLeft, left);
    EXPECT_EQ(whiteRight, left + width - 1);
    EXPECT_EQ(At(dest, left, 9), Black) << "nothing above the rectangle";
    EXPECT_EQ(At(dest, left, 10 + FontLineHeight), Black) << "one line high";
    EXPECT_EQ(At(dest, left - 1, 12), Black);
    int ink = 0;
    for (int y = 10; y < 10 + FontLineHeight; ++y)
        for (int x = left; x < left + width; ++x) ink += At(dest, x, y) == Black;
    EXPECT_GT(ink, 40) << "the letters are drawn in black";

    // A text wider than its box is cut at the box's edges.
    Fill(dest, 0, 0, 200, 40, Blackness);
    DrawTextInRect(dest, "WWWWWWWWWWWWWWWWWWWWWWWW", TextRect{50, 0, 90, 8});
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (x < 50 || x >= 90 || y >= 8) {
                ASSERT_EQ(At(dest, x, y), Black) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(At(dest, 50, 0), White);

    // Rectangles off the surface or inside out draw nothing and do not crash.
    DrawTextInRect(dest, "Hi", TextRect{-500, -500, -400, -490});
    DrawTextInRect(dest, "Hi", TextRect{190, 35, 260, 60});
    DrawTextInRect(dest, "Hi", TextRect{90, 10, 50, 0});
    DrawTextInRect(dest, nullptr, TextRect{0, 0, 10, 10});
}

TEST_F(SurfaceTest, AnImageThatIsNotThereGivesAnEmptySurface) {
    Surface missing = LoadImageSurface(9999);
    EXPECT_EQ(missing.Width, 0);
    EXPECT_EQ(missing.Pixels, nullptr);
    dest = CreateSurface(4, 4);
    Blit(dest, 0, 0, 4, 4, missing, 0, 0, Copy);
    ReleaseSurface(missing);
}

} // namespace
