// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/font.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int MarginRow = 0;
constexpr int CapRow = 1;
constexpr int XHeightRow = 4;
constexpr int BaselineRow = 9;

bool HasInk(unsigned char c, int fromRow, int toRow) {
    for (int y = fromRow; y <= toRow; ++y)
        if (GlyphRow(c, y) != 0) return true;
    return false;
}

int TopRow(unsigned char c) {
    for (int y = 0; y < FontLineHeight; ++y)
        if (GlyphRow(c, y) != 0) return y;
    return -1;
}

bool SameGlyph(unsigned char a, unsigned char b) {
    if (GlyphAdvance(a) != GlyphAdvance(b)) return false;
    for (int y = 0; y < FontLineHeight; ++y)
        if (GlyphRow(a, y) != GlyphRow(b, y)) return false;
    return true;
}

std::string Alphanumerics() {
    std::string all;
    for (char c = '0'; c <= '9'; ++c) all += c;
    for (char c = 'A'; c <= 'Z'; ++c) all += c;
    for (char c = 'a'; c <= 'z'; ++c) all += c;
    return all;
}

bool IsDescender(char c) { return std::string("gjpqy").find(c) != std::string::npos; }

TEST(FontTest, RowsOutsideTheLineAndEmptyTextsAreBlank) {
    EXPECT_EQ(FontLineHeight, 13);
    for (int c = 32; c <= 126; ++c) {
        const auto ch = static_cast<unsigned char>(c);
        EXPECT_EQ(GlyphRow(ch, -1), 0) << "char " << c;
        EXPECT_EQ(GlyphRow(ch, FontLineHeight), 0) << "char " << c;
        EXPECT_EQ(GlyphRow(ch, 1000), 0) << "char " << c;
        EXPECT_EQ(GlyphRow(ch, -1000), 0) << "char " << c;
    }
    EXPECT_EQ(TextWidth(nullptr), 0);
    EXPECT_EQ(TextWidth(""), 0);
}

TEST(FontTest, EveryGlyphHasInkInsideItsBoxAndKeepsTheMargins) {
    for (int c = 32; c <= 126; ++c) {
        const auto ch = static_cast<unsigned char>(c);
        const int advance = GlyphAdvance(ch);
        ASSERT_GE(advance, 2) << "char '" << char(c) << "'";
        ASSERT_LE(advance, 16) << "char '" << char(c) << "'";
        EXPECT_EQ(c != ' ', HasInk(ch, 0, FontLineHeight - 1)) << "char '" << char(c) << "'";
        // The last column of the advance is the gap to the next glyph.
        for (int y = 0; y < FontLineHeight; ++y)
            EXPECT_EQ(GlyphRow(ch, y) >> (advance - 1), 0)
                << "char '" << char(c) << "' row " << y << " inks its spacing column";
        EXPECT_EQ(GlyphRow(ch, MarginRow), 0) << "char '" << char(c) << "' inks the top margin";
    }
    EXPECT_LT(GlyphAdvance('i'), GlyphAdvance('m'));
    EXPECT_LT(GlyphAdvance(' '), GlyphAdvance('n'));
}

TEST(FontTest, LettersAndDigitsAreAllDifferent) {
    const std::string all = Alphanumerics();
    for (size_t i = 0; i < all.size(); ++i)
        for (size_t j = i + 1; j < all.size(); ++j)
            EXPECT_FALSE(
                SameGlyph(static_cast<unsigned char>(all[i]), static_cast<unsigned char>(all[j])))
                << "'" << all[i] << "' and '" << all[j] << "' are drawn alike";
}

TEST(FontTest, LettersAndDigitsShareOneBaselineAndCapHeight) {
    for (char c : Alphanumerics()) {
        const auto ch = static_cast<unsigned char>(c);
        EXPECT_NE(GlyphRow(ch, BaselineRow), 0) << "'" << c << "' does not stand on the baseline";
        EXPECT_EQ(HasInk(ch, BaselineRow + 1, FontLineHeight - 1), IsDescender(c))
            << "'" << c << "' below the baseline";
        if (c < 'a') {
            EXPECT_EQ(TopRow(ch), CapRow) << "'" << c << "'";
        } else if (std::string("bdfhkl").find(c) != std::string::npos) {
            EXPECT_EQ(TopRow(ch), CapRow) << "ascender of '" << c << "'";
        } else if (std::string("ijt").find(c) != std::string::npos) {
            // A dot or a short stem: above the x-height, below the capitals.
            EXPECT_GT(TopRow(ch), CapRow) << "'" << c << "'";
            EXPECT_LT(TopRow(ch), XHeightRow) << "'" << c << "'";
        } else {
            EXPECT_EQ(TopRow(ch), XHeightRow) << "'" << c << "'";
        }
    }
}

TEST(FontTest, DescendersHangBelowTheBaseline) {
    for (char c : std::string("gjpqy,;")) {
        const auto ch = static_cast<unsigned char>(c);
        EXPECT_TRUE(HasInk(ch, BaselineRow + 1, FontLineHeight - 1)) << "'" << c << "'";
        EXPECT_FALSE(HasInk(ch, 0, XHeightRow - 3)) << "'" << c << "' rises to the cap height";
    }
}

TEST(FontTest, CharactersOutsidePrintableAsciiDrawAsQuestionMark) {
    for (int c = 0; c <= 255; ++c) {
        if (c >= 32 && c <= 126) continue;
        EXPECT_TRUE(SameGlyph(static_cast<unsigned char>(c), '?')) << "char " << c;
    }
    // Text holds plain chars, negative for bytes above 127 where char is signed.
    EXPECT_EQ(TextWidth("\x01\x7F\xE9\xFF"), 4 * GlyphAdvance('?'));
    EXPECT_FALSE(SameGlyph('?', ' '));
}

TEST(FontTest, TextWidthIsTheSumOfTheAdvances) {
    const char* text = "Rotation Left Down Right OK CANCEL";
    int sum = 0;
    for (const char* p = text; *p != '\0'; ++p) sum += GlyphAdvance(static_cast<unsigned char>(*p));
    EXPECT_EQ(TextWidth(text), sum);
    EXPECT_EQ(TextWidth("ab"), GlyphAdvance('a') + GlyphAdvance('b'));
}

TEST(FontTest, GameTextsFitTheirBoxes) {
    // Centred in a 128-pixel strip with a little white either side.
    EXPECT_LE(TextWidth(" Hit a Key to Start "), 124);
    // The 64-pixel message box.
    EXPECT_LE(TextWidth("GameOver"), 62);
    EXPECT_LE(TextWidth("9999999 pt"), 62);
    int widestDigit = 0;
    for (char d = '0'; d <= '9'; ++d)
        if (GlyphAdvance(static_cast<unsigned char>(d)) > widestDigit)
            widestDigit = GlyphAdvance(static_cast<unsigned char>(d));
    EXPECT_LE(7 * widestDigit + TextWidth(" pt"), 62) << "the longest score overflows the box";
    // Options dialog labels and buttons.
    for (const char* label : {"Key Repeat", "Rotation", "Left", "Down", "Right", "OK", "CANCEL"})
        EXPECT_LE(TextWidth(label), 62) << label;
}

} // namespace
