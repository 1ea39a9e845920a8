// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "input/buttons.h"
#include "render/buttons.h"
#include "render/draw.h"
#include "render/font.h"
#include "render/layout.h"
#include "render/sprites.h"
#include "shell/app.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts every allocation the test program makes, so a test can show that
// drawing allocates nothing.
namespace {
std::atomic<long> Allocations{0};
}
void* operator new(std::size_t size) {
    ++Allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

uint32_t Pixel(const Surface& s, int x, int y) { return s.Pixels[y * s.Width + x]; }

// The sprite's pixel as the sheet holds it.
uint32_t Sheet(int x, int y) { return Pixel(Layout.SpriteSheet, x, y); }

class DrawTest : public ::testing::Test {
  protected:
    void Start(int w, int h) {
        ResetGame();
        ConnectGameReport();
        LayoutScreen(w, h);
        LayoutButtons();
        ASSERT_EQ(Layout.SpriteSheet.Width, SpriteSheetWidth) << "the sprite sheet is embedded";
        DrawPlayfield();
    }
    void TearDown() override { ReleaseScreen(); }

    // Whether the back buffer at (x, y) shows the w x h sheet rectangle at
    // (sx, sy) exactly.
    static bool Shows(int x, int y, int w, int h, int sx, int sy) {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (Pixel(Layout.BackBuffer, x + i, y + j) != Sheet(sx + i, sy + j)) return false;
        return true;
    }

    static bool AreaIsClean() {
        for (int y = 0; y < Layout.AreaHeight && Layout.AreaY + y < Layout.BackBuffer.Height; ++y)
            for (int x = 0; x < Layout.AreaWidth; ++x)
                if (Pixel(Layout.BackBuffer, Layout.AreaX + x, Layout.AreaY + y) !=
                    Pixel(Layout.FieldBuffer, x, y))
                    return false;
        return true;
    }
};

TEST_F(DrawTest, ErasingRestoresExactlyTheCleanPicture) {
    for (auto size : {std::pair{320, 240}, std::pair{240, 320}}) {
        Start(size.first, size.second);
        // The panel differs from the clean area; clean it so only the well counts.
        Blit(Layout.BackBuffer, Layout.AreaX, Layout.AreaY, 240, Layout.AreaHeight,
             Layout.FieldBuffer, 0, 0, Copy);
        for (int c = 0; c < 7; ++c) DrawCell(c, 12, 1 + c % 4);
        DrawCell(6, 0, ARROW_LEFT);
        EXPECT_FALSE(AreaIsClean());
        EXPECT_TRUE(Shows(CellX(6), CellY(0), Layout.CellSize, Layout.CellSize,
                          Layout.CellSpriteX + 3 * Layout.CellSize, Layout.CellSpriteY));
        for (int c = 0; c < 7; ++c) EraseCell(c, 12);
        EraseCell(6, 0);
        EXPECT_TRUE(AreaIsClean());

        // A pair at row 11 covers the two bottom cells; erasing it restores both.
        Board.Pair.PairColumn = 6;
        Board.Pair.PairRow = 11;
        Board.Pair.CurrentTop = ARROW_UP;
        Board.Pair.CurrentBottom = ARROW_DOWN;
        DrawPair();
        EXPECT_FALSE(AreaIsClean());
        ErasePair();
        EXPECT_TRUE(AreaIsClean());
        ReleaseScreen();
    }
}

TEST_F(DrawTest, DigitsLandInTheWhiteFieldOfTheScoreBoxes) {
    Start(320, 240);
    struct Case {
        int32_t value;
        const char* digits;
    };
    for (const Case c : {Case{0, "0000000"}, Case{12345678, "2345678"}, Case{10000000, "0000000"},
                         Case{9999999, "9999999"}}) {
        Board.PanelScore = c.value;
        DrawScore();
        const int x = Layout.PanelX + 4, y = Layout.AreaY + ScoreDigitsY;
        for (int k = 0; k < 7; ++k) {
            const SpriteRect d = DigitSprite(c.digits[k] - '0');
            EXPECT_TRUE(Shows(x + 8 * k, y, 8, 12, d.x, d.y)) << c.value << " digit " << k;
        }
        // Around the digits the box is as the sheet draws it.
        const int bx = Layout.PanelX, by = Layout.AreaY + ScoreBoxY;
        for (int j = 0; j < 29; ++j)
            for (int i = 0; i < 64; ++i)
                if (i < 4 || i >= 60 || j < 15 || j >= 27) {
                    ASSERT_EQ(Pixel(Layout.BackBuffer, bx + i, by + j),
                              Sheet(ScoreBoxSprite.x + i, ScoreBoxSprite.y + j));
                }
    }
}

TEST_F(DrawTest, DrawingTheScoresChangesNeither) {
    Start(320, 240);
    Board.HighScore = 70;
    Board.Score = 90;
    Board.PanelScore = 50;
    DrawScore();
    DrawHighScore();
    EXPECT_EQ(Board.HighScore, 70);
    EXPECT_EQ(Board.Score, 90);
    // The panel shows the score it has caught up with, and the high score.
    const SpriteRect five = DigitSprite(5), seven = DigitSprite(7);
    EXPECT_TRUE(
        Shows(Layout.PanelX + 4 + 8 * 5, Layout.AreaY + ScoreDigitsY, 8, 12, five.x, five.y));
    EXPECT_TRUE(
        Shows(Layout.PanelX + 4 + 8 * 5, Layout.AreaY + HighScoreDigitsY, 8, 12, seven.x, seven.y));
}

TEST_F(DrawTest, TheTitleLogoAndPromptStandWhereTheyShould) {
    struct Case {
        int w, h, logoX, logoY, promptTop;
    };
    for (const Case c : {Case{320, 240, 96, 104, 180}, Case{240, 320, 56, 144, 240}}) {
        Start(c.w, c.h);
        Surface title = LoadImageSurface(BITMAP_TITLE);
        ASSERT_EQ(title.Width, 320);
        DrawTitleScreen();
        // The logo's coloured pixels show; where its image is white the
        // photograph shows through unchanged.
        int coloured = 0;
        for (int j = 0; j < 32; ++j) {
            for (int i = 0; i < 128; ++i) {
                const uint32_t logo = Sheet(LogoImageSprite.x + i, LogoImageSprite.y + j);
                const int x = c.logoX + i, y = c.logoY + j;
                const uint32_t photo = Pixel(title, x - Layout.AreaX, y - Layout.AreaY);
                ASSERT_EQ(Pixel(Layout.BackBuffer, x, y), logo == White ? photo : logo)
                    << i << "," << j;
                coloured += logo != White;
            }
        }
        EXPECT_GT(coloured, 300);
        // The prompt: a white strip as wide as its text, centred, from the
        // rectangle's top.
        const int width = TextWidth(" Hit a Key to Start ");
        const int left = c.logoX + (128 - width) / 2;
        EXPECT_EQ(Pixel(Layout.BackBuffer, left, c.promptTop), White);
        EXPECT_EQ(Pixel(Layout.BackBuffer, left + width - 1, c.promptTop + FontLineHeight - 1),
                  White);
        EXPECT_EQ(Pixel(Layout.BackBuffer, left - 1, c.promptTop),
                  Pixel(title, left - 1 - Layout.AreaX, c.promptTop - Layout.AreaY));
        EXPECT_EQ(Pixel(Layout.BackBuffer, left, c.promptTop + FontLineHeight),
                  Pixel(title, left - Layout.AreaX, c.promptTop + FontLineHeight - Layout.AreaY));
        ReleaseSurface(title);
        ReleaseScreen();
    }
}

TEST_F(DrawTest, APressShowsForOneTickAndToggleButtonsShowTheirState) {
    Start(320, 240);
    const Button& left = Buttons.Table[BUTTON_LEFT];
    const SpritePos up = ButtonSpritesUp[BUTTON_LEFT], down = ButtonSpritesDown[BUTTON_LEFT];
    EXPECT_TRUE(Shows(left.x, left.y, left.w, left.h, up.x, up.y));
    ShowPressed(BUTTON_LEFT);
    EXPECT_TRUE(Shows(left.x, left.y, left.w, left.h, down.x, down.y));
    ShowReleased();
    EXPECT_TRUE(Shows(left.x, left.y, left.w, left.h, up.x, up.y));
    EXPECT_EQ(Buttons.OptionsRequest, 0);

    // The sound toggle flips with a press and shows its state, not the press.
    Button& sound = Buttons.Table[BUTTON_SOUND];
    sound.state = 1;
    DrawButton(BUTTON_SOUND, 0);
    const SpritePos on = ButtonSpritesDown[BUTTON_SOUND], off = ButtonSpritesUp[BUTTON_SOUND];
    EXPECT_TRUE(Shows(sound.x, sound.y, 16, 16, on.x, on.y));
    ShowPressed(BUTTON_SOUND);
    EXPECT_EQ(sound.state, 0);
    EXPECT_TRUE(Shows(sound.x, sound.y, 16, 16, off.x, off.y));
    ShowReleased();
    EXPECT_TRUE(Shows(sound.x, sound.y, 16, 16, off.x, off.y));

    // The Options button's release asks for the dialog.
    ShowPressed(BUTTON_OPTIONS);
    ShowReleased();
    EXPECT_EQ(Buttons.OptionsRequest, BUTTON_OPTIONS);
    Buttons.OptionsRequest = 0;
}

TEST_F(DrawTest, TheBandsBesideTheLandscapeAreaStayBlack) {
    Start(640, 480); // logical 320 x 240, area from 40 to 280
    auto bandsBlack = [] {
        for (int y = 0; y < Layout.LogicalHeight; ++y)
            for (int x = 0; x < Layout.LogicalWidth; ++x)
                if ((x < 40 || x >= 280) && Pixel(Layout.BackBuffer, x, y) != Black) return false;
        return true;
    };
    EXPECT_TRUE(bandsBlack());
    DrawTitleScreen();
    EXPECT_TRUE(bandsBlack());
    DrawPlayfield();
    Board.Pair.PairColumn = 0;
    DrawPair();
    DrawNextPair();
    ShowMessage("9999999 pt wide text here");
    EXPECT_TRUE(bandsBlack());

    // The window shows the logical picture doubled.
    Surface window = CreateSurface(640, 480);
    StretchToWindow(window);
    EXPECT_EQ(Pixel(window, 101, 203), Pixel(Layout.BackBuffer, 50, 101));
    EXPECT_EQ(Pixel(window, 639, 479), Pixel(Layout.BackBuffer, 319, 239));
    ReleaseSurface(window);
}

TEST_F(DrawTest, NothingIsAllocatedWhileAGameIsDrawn) {
    Start(320, 240);
    Board.Pair.NextTop = ARROW_UP;
    Board.Pair.NextBottom = ARROW_LEFT;
    const long before = Allocations.load();
    DrawPlayfield();
    DrawPair();
    ErasePair();
    DrawNextPair();
    DrawCell(2, 3, ARROW_RIGHT);
    EraseCell(2, 3);
    ShowMessage("123 pt");
    DrawScore();
    DrawHighScore();
    ShowPressed(BUTTON_PAUSE);
    ShowReleased();
    EXPECT_EQ(Allocations.load(), before);
}

} // namespace
