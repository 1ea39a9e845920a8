// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/buttons.h"
#include "render/buttons.h"
#include "render/layout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct Expected {
    int w, h;
    bool landscape;
    double scale;
    int logicalW, logicalH, areaX, panelX, buttonsY, cellSize;
    int boardLeft, boardRight, boardBottom; // board pixels: x range and last y
};

void PrintTo(const Expected& e, std::ostream* os) { *os << e.w << "x" << e.h; }

class LayoutTest : public ::testing::TestWithParam<Expected> {
  protected:
    void TearDown() override { ReleaseScreen(); }
};

TEST_P(LayoutTest, EveryFieldForTheWindowSize) {
    const Expected e = GetParam();
    LayoutScreen(e.w, e.h);
    const ScreenLayout& L = Layout;
    EXPECT_EQ(L.WindowWidth, e.w);
    EXPECT_EQ(L.WindowHeight, e.h);
    EXPECT_DOUBLE_EQ(L.Scale, e.scale);
    EXPECT_EQ(L.LogicalWidth, e.logicalW);
    EXPECT_EQ(L.LogicalHeight, e.logicalH);
    EXPECT_EQ(L.AreaX, e.areaX);
    EXPECT_EQ(L.AreaY, 0);
    EXPECT_EQ(L.AreaWidth, 240);
    EXPECT_EQ(L.AreaHeight, e.landscape ? 240 : 320);
    EXPECT_EQ(L.PanelX, e.panelX);
    EXPECT_EQ(L.ButtonsY, e.buttonsY);
    EXPECT_EQ(L.CellSize, e.cellSize);
    EXPECT_EQ(L.CellSpriteX, 0);
    EXPECT_EQ(L.CellSpriteY, e.landscape ? 16 : 176);
    EXPECT_EQ(CellX(0), e.boardLeft);
    EXPECT_EQ(CellX(6) + L.CellSize - 1, e.boardRight);
    EXPECT_EQ(CellY(0), 4);
    EXPECT_EQ(CellY(12) + L.CellSize - 1, e.boardBottom);
    // The surfaces: the back buffer is the window's size, the field buffer
    // the game area's.
    EXPECT_EQ(Layout.BackBuffer.Width, e.w);
    EXPECT_EQ(Layout.BackBuffer.Height, e.h);
    EXPECT_EQ(Layout.FieldBuffer.Width, 240);
    EXPECT_EQ(Layout.FieldBuffer.Height, L.AreaHeight);
}

INSTANTIATE_TEST_SUITE_P(
    WindowShapes, LayoutTest,
    ::testing::Values(
        Expected{320, 240, true, 1.0, 320, 240, 40, 202, 160, 16, 44, 155, 211},
        Expected{640, 480, true, 2.0, 320, 240, 40, 202, 160, 16, 44, 155, 211},
        Expected{800, 480, true, 2.0, 400, 240, 80, 242, 160, 16, 84, 195, 211},
        Expected{480, 272, true, 272 * (1.0 / 240.0), 423, 240, 91, 253, 160, 16, 95, 206, 211},
        Expected{240, 320, false, 1.0, 240, 320, 0, 162, 236, 22, 4, 157, 289},
        Expected{480, 640, false, 2.0, 240, 320, 0, 162, 236, 22, 4, 157, 289},
        Expected{240, 294, false, 1.0, 240, 294, 0, 162, 236, 22, 4, 157, 289},
        Expected{240, 240, false, 1.0, 240, 240, 0, 162, 236, 22, 4, 157, 289},
        // Narrower than the game area: it starts left of the screen.
        Expected{200, 150, true, 1.0, 200, 150, -20, 142, 160, 16, -16, 95, 211},
        // Tall portrait screens: the width, not the height,
        // bounds the scale, so the panel stays on the screen.
        Expected{1080, 1920, false, 4.0, 270, 480, 0, 162, 236, 22, 4, 157, 289},
        Expected{720, 1280, false, 3.0, 240, 426, 0, 162, 236, 22, 4, 157, 289},
        Expected{479, 960, false, 1.0, 479, 960, 0, 162, 236, 22, 4, 157, 289},
        Expected{960, 960, false, 3.0, 320, 320, 0, 162, 236, 22, 4, 157, 289},
        // Handhelds' screens, each way up where the device turns.
        Expected{480, 320, true, 320 * (1.0 / 240.0), 360, 240, 60, 222, 160, 16, 64, 175, 211},
        Expected{320, 480, false, 1.0, 320, 480, 0, 162, 236, 22, 4, 157, 289},
        Expected{720, 720, false, 2.0, 360, 360, 0, 162, 236, 22, 4, 157, 289},
        Expected{1280, 720, true, 3.0, 426, 240, 93, 255, 160, 16, 97, 208, 211},
        Expected{1280, 800, true, 800 * (1.0 / 240.0), 384, 240, 72, 234, 160, 16, 76, 187, 211},
        Expected{800, 1280, false, 3.0, 266, 426, 0, 162, 236, 22, 4, 157, 289}),
    [](const ::testing::TestParamInfo<Expected>& info) {
        return std::to_string(info.param.w) + "x" + std::to_string(info.param.h);
    });

// Whatever its shape, a portrait window at least 240 x 320 shows the whole
// game area, at the largest whole scale that does.
TEST(PortraitScale, TheWholeAreaFitsAtTheLargestWholeScale) {
    for (int32_t w = 240; w <= 1440; w += 29) {
        for (int32_t h = w; h <= 2600; h += 101) {
            LayoutScreen(w, h);
            const int32_t s = static_cast<int32_t>(Layout.Scale);
            ASSERT_EQ(Layout.Scale, s) << w << "x" << h;
            EXPECT_GE(Layout.LogicalWidth, 240) << w << "x" << h;
            if (h >= 320) {
                EXPECT_GE(Layout.LogicalHeight, 320) << w << "x" << h;
            }
            EXPECT_TRUE(s == 1 || w < 240 * (s + 1) || h < 320 * (s + 1)) << w << "x" << h;
            ReleaseScreen();
        }
    }
}

TEST(WindowToLogical, DividesByTheScaleAndTruncates) {
    LayoutScreen(640, 480);
    int32_t x = 0, y = 0;
    WindowToLogical(449, 21, &x, &y);
    EXPECT_EQ(x, 224);
    EXPECT_EQ(y, 10);
    ReleaseScreen();

    LayoutScreen(480, 640);
    WindowToLogical(100, 101, &x, &y);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 50);
    ReleaseScreen();

    LayoutScreen(480, 272); // scale 1.1333...
    WindowToLogical(479, 271, &x, &y);
    EXPECT_EQ(x, 422);
    EXPECT_EQ(y, 239);
    WindowToLogical(17, 17, &x, &y);
    EXPECT_EQ(x, 15); // 17 / 1.1333 = 15.0000...
    EXPECT_EQ(y, 15);
    WindowToLogical(16, 16, &x, &y);
    EXPECT_EQ(x, 14);
    ReleaseScreen();
}

struct Place {
    int x, y;
};

void ExpectButtons(const Place (&places)[8]) {
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Buttons.Table[i].x, places[i].x) << "button " << i;
        EXPECT_EQ(Buttons.Table[i].y, places[i].y) << "button " << i;
    }
}

TEST(LayoutButtons, PlacesTheButtonsInBothLayoutsAndRetiresTheHiddenOne) {
    ResetButtons();
    LayoutScreen(320, 240);
    LayoutButtons();
    // R = 280, panel at 202, buttons block at 160.
    ExpectButtons(
        {{264, 0}, {232, 0}, {210, 160}, {224, 178}, {224, 194}, {204, 194}, {244, 194}, {248, 0}});
    EXPECT_EQ(Buttons.Table[BUTTON_HIDDEN].x, 216);
    EXPECT_EQ(Buttons.Table[BUTTON_HIDDEN].key, 0);
    ReleaseScreen();

    ResetButtons();
    LayoutScreen(240, 320);
    LayoutButtons();
    ExpectButtons(
        {{224, 0}, {192, 0}, {170, 236}, {184, 254}, {184, 270}, {164, 270}, {204, 270}, {208, 0}});
    EXPECT_EQ(Buttons.Table[BUTTON_HIDDEN].x, 176);
    const int sizes[9][2] = {{16, 16}, {16, 16}, {48, 16}, {20, 17}, {20, 17},
                             {20, 17}, {20, 17}, {16, 16}, {16, 16}};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(Buttons.Table[i].w, sizes[i][0]);
        EXPECT_EQ(Buttons.Table[i].h, sizes[i][1]);
    }
    EXPECT_EQ(Buttons.Table[9].key, 0);
    ReleaseScreen();
    ResetButtons();
}

} // namespace
