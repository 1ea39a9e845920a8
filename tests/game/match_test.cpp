// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "game/report.h"
#include "input/buttons.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

namespace {

using Cells = std::initializer_list<std::pair<int, int>>;

// The cues the rules report, in order.
int Cues[8];
int CueCount;
void RecordCue(int32_t cue) {
    if (CueCount < 8) Cues[CueCount++] = cue;
}

class MatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGame();
        CueCount = 0;
        GameReport report{};
        report.Sound = RecordCue;
        SetGameReport(report);
    }
    void TearDown() override { SetGameReport(GameReport{}); }

    static void Put(Cells cells, uint8_t arrow) {
        for (auto [c, r] : cells) BoardCell(c, r) = arrow;
    }

    static int Mark() {
        Match.PassPoints = 0;
        MarkMatches();
        int sum = 0;
        for (auto count : Match.Map) sum += count;
        return sum;
    }

    // The pass as the resolve sequence runs it: mark and clear, then gravity.
    static int Pass() {
        Match.PassPoints = 0;
        MarkMatches();
        ClearMatches();
        ApplyGravity();
        return Match.PassPoints;
    }

    static std::string Column(int c) {
        std::string s;
        for (int r = 0; r < BoardRows; ++r) s += char('0' + BoardCell(c, r));
        return s;
    }
};

TEST_F(MatchTest, LinesAreFoundInAllFourDirectionsRightUpToTheEdges) {
    struct Case {
        const char* what;
        Cells cells;
    };
    const Case cases[] = {
        {"across, left edge, top row", {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {"across, right edge, bottom row", {{3, 12}, {4, 12}, {5, 12}, {6, 12}}},
        {"down, rows 0 to 3", {{6, 0}, {6, 1}, {6, 2}, {6, 3}}},
        {"down, rows 9 to 12", {{0, 9}, {0, 10}, {0, 11}, {0, 12}}},
        {"down-right from the top-left corner", {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {"down-right into the bottom-right corner", {{3, 9}, {4, 10}, {5, 11}, {6, 12}}},
        {"down-left from column 3 to column 0", {{3, 0}, {2, 1}, {1, 2}, {0, 3}}},
        {"down-left from the right edge to the floor", {{6, 9}, {5, 10}, {4, 11}, {3, 12}}},
    };
    for (const Case& c : cases) {
        SetUp();
        Put(c.cells, ARROW_RIGHT);
        EXPECT_EQ(Mark(), 4) << c.what;
        for (auto [col, row] : c.cells) EXPECT_EQ(Match.Map[col * BoardRows + row], 1) << c.what;
    }
}

TEST_F(MatchTest, NoLineWithoutFourEqualArrowsInARow) {
    Put({{0, 12}, {1, 12}, {3, 12}, {4, 12}}, ARROW_UP); // a gap
    Put({{0, 5}, {0, 6}, {0, 8}}, ARROW_DOWN);
    Put({{0, 7}}, ARROW_LEFT); // a different arrow in between
    Put({{6, 0}, {6, 1}}, ARROW_UP);
    Put({{6, 2}, {6, 3}}, ARROW_RIGHT);        // two and two of different arrows
    Put({{2, 0}, {1, 1}, {0, 2}}, ARROW_LEFT); // a diagonal would leave the board
    EXPECT_EQ(Mark(), 0);
}

TEST_F(MatchTest, LongRunsCountAsOverlappingLinesOfFour) {
    struct Case {
        int length;
        int pays;
    };
    for (const Case c : {Case{5, 8}, Case{6, 12}, Case{7, 16}}) {
        SetUp();
        for (int col = 0; col < c.length; ++col) BoardCell(col, 12) = ARROW_LEFT;
        ClearMatches(); // nothing marked yet: nothing removed
        EXPECT_EQ(Column(0)[12], '4');
        Match.PassPoints = 0;
        MarkMatches();
        if (c.length == 7) {
            const int expected[7] = {1, 2, 3, 4, 3, 2, 1};
            for (int col = 0; col < 7; ++col)
                EXPECT_EQ(Match.Map[col * BoardRows + 12], expected[col]);
        }
        ClearMatches();
        EXPECT_EQ(Match.PassPoints, c.pays) << "run of " << c.length;
        for (int col = 0; col < 7; ++col) EXPECT_EQ(BoardCell(col, 12), 0);
        for (auto count : Match.Map) ASSERT_EQ(count, 0) << "counts are consumed by the clear";
    }
}

TEST_F(MatchTest, ACellInTwoLinesIsCountedForEachAndRemovedOnce) {
    // An across and a down line crossing in (3, 12): seven cells, two lines.
    Put({{0, 12}, {1, 12}, {2, 12}, {3, 12}, {3, 11}, {3, 10}, {3, 9}}, ARROW_UP);
    EXPECT_EQ(Mark(), 8);
    EXPECT_EQ(Match.Map[3 * BoardRows + 12], 2);
    ClearMatches();
    EXPECT_EQ(Match.PassPoints, 8);

    SetUp();
    // An across and a diagonal line sharing (3, 12).
    Put({{3, 12}, {4, 12}, {5, 12}, {6, 12}, {0, 9}, {1, 10}, {2, 11}}, ARROW_DOWN);
    EXPECT_EQ(Mark(), 8);
    EXPECT_EQ(Match.Map[3 * BoardRows + 12], 2);
    ClearMatches();
    EXPECT_EQ(Match.PassPoints, 8);
}

TEST_F(MatchTest, GravityPacksEveryColumnInOnePassKeepingTheOrder) {
    // Column 2 from the top: gaps at several heights.
    const char* before = "0102003004000";
    for (int r = 0; r < BoardRows; ++r) BoardCell(2, r) = static_cast<uint8_t>(before[r] - '0');
    // Column 5: full but for row 0, which nothing can fall into.
    for (int r = 1; r < BoardRows; ++r) BoardCell(5, r) = static_cast<uint8_t>(1 + r % 4);
    const std::string column5 = Column(5);
    ApplyGravity();
    EXPECT_EQ(Column(2), "0000000001234");
    EXPECT_EQ(Column(5), column5);
    EXPECT_EQ(Column(0), "0000000000000");
}

TEST_F(MatchTest, AChainOfTwoPassesPaysFourThenEightAndSaysTwelve) {
    Buttons.Table[BUTTON_SOUND].state = 1;
    Put({{0, 10}, {0, 11}, {0, 12}}, ARROW_UP);
    Put({{1, 12}, {2, 12}, {3, 12}}, ARROW_RIGHT);
    BoardCell(0, 8) = ARROW_RIGHT; // the pair, landed
    BoardCell(0, 9) = ARROW_UP;
    Board.Score = 100;

    EXPECT_EQ(Pass(), 4);
    ScorePass();
    EXPECT_EQ(Match.ChainCount, 1);
    EXPECT_EQ(Match.ChainTotal, 4);
    EXPECT_STREQ(Match.Message, "4 pt");
    EXPECT_EQ(Board.Score, 104);
    EXPECT_EQ(BoardCell(0, 12), ARROW_RIGHT) << "the right arrow fell from row 8 to row 12";

    EXPECT_EQ(Pass(), 4);
    ScorePass();
    EXPECT_EQ(Match.PassPoints, 8);
    EXPECT_EQ(Match.ChainTotal, 12);
    EXPECT_STREQ(Match.Message, "12 pt");
    EXPECT_EQ(Board.Score, 112);
    EXPECT_EQ(Match.MessageTimer, 30);

    // A pass that removes nothing pays nothing, plays nothing, says nothing.
    EXPECT_EQ(CueCount, 2);
    EXPECT_EQ(Cues[0], CUE_CLEAR);
    Match.MessageTimer = 7;
    EXPECT_EQ(Pass(), 0);
    ScorePass();
    EXPECT_EQ(CueCount, 2);
    EXPECT_STREQ(Match.Message, "12 pt");
    EXPECT_EQ(Match.ChainTotal, 12);
    EXPECT_EQ(Match.MessageTimer, 7);
    EXPECT_EQ(Board.Score, 112);
}

TEST_F(MatchTest, AThirdPassTriplesItsCountsAndTheMessageShowsTheWholeChain) {
    Match.ChainCount = 2;
    Match.ChainTotal = 12; // 4 then 8
    Match.PassPoints = 8;  // a run of five
    ScorePass();
    EXPECT_EQ(Match.PassPoints, 24);
    EXPECT_EQ(Match.ChainTotal, 36);
    EXPECT_STREQ(Match.Message, "36 pt");
}

TEST_F(MatchTest, TheScoreStopsAtItsLargestValueInsteadOfTurningNegative) {
    Board.Score = INT_MAX - 3;
    Match.PassPoints = 4;
    ScorePass();
    EXPECT_EQ(Board.Score, INT_MAX);
}

} // namespace
