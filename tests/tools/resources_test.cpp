// SPDX-License-Identifier: GPL-3.0-or-later
// The committed files of res/ against what the game relies on, and broken
// copies of them against the checks, so a check that cannot fail is caught.
#include "tests/tools/resource_checks.h"

#include "render/sprites.h"

#include <gtest/gtest.h>

namespace {

Bytes Res(const char* name) {
    return ReadFileBytes(std::string(VANTLE_SOURCE_DIR) + "/res/" + name);
}

// True when some problem mentions the text.
bool Mentions(const Problems& problems, const std::string& text) {
    for (const std::string& p : problems)
        if (p.find(text) != std::string::npos) return true;
    return false;
}

TEST(ResSpriteSheet, CommittedSheetKeepsEveryInvariant) {
    Bytes sheet = Res("sprites.bmp");
    ASSERT_FALSE(sheet.empty());
    Problems problems = CheckSpriteSheet(sheet);
    EXPECT_TRUE(problems.empty()) << Describe(problems);
}

TEST(ResSpriteSheet, BrokenSheetsAreRejected) {
    const Bytes good = Res("sprites.bmp");
    ASSERT_FALSE(good.empty());
    struct Case {
        const char* Why;
        int32_t X, Y;
        uint8_t Index;
        const char* Expect;
    };
    const SpriteRect d7 = DigitSprite(7), small = SmallEmptyCellSprite,
                     large = LargeEmptyCellSprite;
    const SpriteRect mask = LogoMaskSprite, score = HighScoreBoxSprite;
    const Case cases[] = {
        {"grey in a digit", d7.x + 3, d7.y + 5, 7, "digit 7"},
        {"small checkerboard out of phase", small.x + 5, small.y + 9, 15, "small empty cell"},
        {"large checkerboard out of phase", large.x + 21, large.y + 21, 0, "large empty cell"},
        {"grey in the large checkerboard", large.x, large.y, 8, "large empty cell"},
        {"mask white over the logo's white", mask.x + 0, mask.y + 0, 15, "logo mask"},
        {"grey in the score field", score.x + 62, score.y + 27, 8, "high-score field"},
        {"key border column turned blue", ButtonSpritesDown[5].x, ButtonSpritesDown[5].y + 8, 12,
         "key border"},
        {"shared row 80 broken", ButtonSpritesUp[4].x + 10, 80, 4, "key border"},
        {"light in the next well", NextFrameSprite.x + 7, NextFrameSprite.y + 46, 8, "next well"},
        {"tile corner not black", LargeArrowSprite(4).x + 21, LargeArrowSprite(4).y, 8,
         "tile corner"},
    };
    ASSERT_TRUE(CheckSpriteSheet(good).empty());
    for (const Case& c : cases) {
        Bytes broken = good;
        PokeSheetPixel(broken, c.X, c.Y, c.Index);
        Problems problems = CheckSpriteSheet(broken);
        EXPECT_TRUE(Mentions(problems, c.Expect)) << c.Why << ":\n" << Describe(problems);
    }
}

TEST(ResSpriteSheet, LogoAndMaskMustChangeTogether) {
    const Bytes good = Res("sprites.bmp");
    Problems none;
    Bitmap sheet = ParseBitmap(good, none);
    ASSERT_EQ(sheet.Width, SpriteSheetWidth);
    // Some pixel of the word mark's ink, and the count of them.
    int32_t inkX = -1, inkY = -1, ink = 0;
    for (int32_t y = 0; y < LogoImageSprite.h; y++)
        for (int32_t x = 0; x < LogoImageSprite.w; x++)
            if (sheet.At(LogoImageSprite.x + x, LogoImageSprite.y + y) != 15) {
                ink++;
                if (inkX < 0) inkX = x, inkY = y;
            }
    // The word mark covers a good part of its box, and not all of it.
    EXPECT_GT(ink, 128 * 32 / 5);
    EXPECT_LT(ink, 128 * 32 * 4 / 5);
    ASSERT_GE(inkX, 0);

    Bytes maskBlack = good;
    PokeSheetPixel(maskBlack, LogoMaskSprite.x + inkX, LogoMaskSprite.y + inkY, 0);
    EXPECT_TRUE(Mentions(CheckSpriteSheet(maskBlack), "logo mask"));

    Bytes logoWhite = good;
    PokeSheetPixel(logoWhite, LogoImageSprite.x + inkX, LogoImageSprite.y + inkY, 15);
    EXPECT_TRUE(Mentions(CheckSpriteSheet(logoWhite), "logo mask"));

    // Turning one ink colour into another keeps the mask right.
    Bytes recoloured = good;
    PokeSheetPixel(recoloured, LogoImageSprite.x + inkX, LogoImageSprite.y + inkY, 11);
    EXPECT_TRUE(CheckSpriteSheet(recoloured).empty());
}

TEST(ResSpriteSheet, WrongFormatAndPaletteAreRejected) {
    const Bytes good = Res("sprites.bmp");
    ASSERT_GT(good.size(), 120u);
    Bytes palette = good;
    palette[54 + 4 * 7] = 0xC8; // light grey's blue, 192 -> 200
    EXPECT_TRUE(Mentions(CheckSpriteSheet(palette), "palette entry 7"));

    Bytes topDown = good;
    topDown[25] = 0xFF; // height -198: rows top-down
    topDown[22] = static_cast<uint8_t>(-198 & 0xFF);
    topDown[23] = 0xFF;
    topDown[24] = 0xFF;
    EXPECT_FALSE(CheckSpriteSheet(topDown).empty());

    Bytes eightBit = good;
    eightBit[28] = 8;
    EXPECT_FALSE(CheckSpriteSheet(eightBit).empty());
}

TEST(ResSpriteSheet, ButtonSpritesFitOnlyInAFullSizeSheet) {
    EXPECT_TRUE(CheckButtonsInside(SpriteSheetWidth, SpriteSheetHeight).empty());
    // The options and ninth buttons reach the right edge, the pause bars and
    // logo rows the lower part: a narrower or shorter sheet loses them.
    EXPECT_TRUE(Mentions(CheckButtonsInside(SpriteSheetWidth - 1, SpriteSheetHeight), "button 0"));
    EXPECT_TRUE(Mentions(CheckButtonsInside(SpriteSheetWidth, 143), "button 8"));
}

TEST(ResBackgrounds, TitleAndPlayArePicturesOfTheRightKind) {
    Problems title = CheckBackground(Res("title.bmp"), 4);
    EXPECT_TRUE(title.empty()) << Describe(title);
    Problems play = CheckBackground(Res("play.bmp"), 8);
    EXPECT_TRUE(play.empty()) << Describe(play);
}

TEST(ResBackgrounds, FlatFillIsRejected) {
    Bytes title = Res("title.bmp");
    ASSERT_GT(title.size(), 118u);
    for (size_t i = 14 + 40 + 64; i < title.size(); i++) title[i] = 0x33;
    EXPECT_TRUE(Mentions(CheckBackground(title, 4), "colours in the shown part"));
}

TEST(ResWaves, HeadersLengthsAndQuietEnds) {
    const struct {
        const char* Name;
        uint32_t Samples;
    } waves[] = {{"wave1.wav", 2205}, {"wave2.wav", 9702}, {"wave3.wav", 1102}};
    for (const auto& w : waves) {
        Problems problems = CheckWave(Res(w.Name), w.Samples);
        EXPECT_TRUE(problems.empty()) << w.Name << ":\n" << Describe(problems);
    }
}

TEST(ResWaves, BrokenWavesAreRejected) {
    const Bytes good = Res("wave3.wav");
    ASSERT_GT(good.size(), 60u);
    EXPECT_TRUE(Mentions(CheckWave(good, 1103), "data bytes"));
    Bytes click = good;
    click.back() = 200;
    EXPECT_TRUE(Mentions(CheckWave(click, 1102), "ends at"));
    Bytes stereo = good;
    stereo[22] = 2;
    EXPECT_TRUE(Mentions(CheckWave(stereo, 1102), "mono"));
    Bytes silent = good;
    for (size_t i = 44; i < silent.size(); i++) silent[i] = 128;
    EXPECT_TRUE(Mentions(CheckWave(silent, 1102), "quiet"));
}

TEST(ResIcon, ThreeImagesOfTheRightSizesAndDepths) {
    Problems problems = CheckIcon(Res("vantle.ico"));
    EXPECT_TRUE(problems.empty()) << Describe(problems);
    Bytes swapped = Res("vantle.ico");
    ASSERT_GT(swapped.size(), 54u);
    swapped[6 + 16 * 1] = 32; // the second image claims to be 32 wide
    EXPECT_TRUE(Mentions(CheckIcon(swapped), "image 1"));
}

TEST(ResTemplates, OptionsDialogParsesBackToItsControls) {
    Problems problems = CheckOptionsDialog(Res("options.dlg"));
    EXPECT_TRUE(problems.empty()) << Describe(problems);
    Bytes renamed = Res("options.dlg");
    ASSERT_GT(renamed.size(), 30u);
    renamed[22] = 'o'; // "option"
    EXPECT_TRUE(Mentions(CheckOptionsDialog(renamed), "title"));
}

TEST(ResTemplates, AcceleratorsAreAltSlashAndAltF4) {
    Problems problems = CheckAccelerators(Res("keys.acc"));
    EXPECT_TRUE(problems.empty()) << Describe(problems);
    Bytes notLast = Res("keys.acc");
    ASSERT_EQ(notLast.size(), 16u);
    notLast[8] = 0x13; // end-of-table flag dropped
    EXPECT_FALSE(CheckAccelerators(notLast).empty());
}

} // namespace
