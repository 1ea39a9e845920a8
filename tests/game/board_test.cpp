// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/board.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class BoardTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetBoardModule(); }

    // What NewGame does before the board is reset.
    static void StartGame(uint32_t seed) {
        SeedRandom(seed);
        FallInterval = 20;
        PairsSinceSpeedUp = 0;
        ResetBoard();
    }
};

TEST_F(BoardTest, CanPlaceRefusesEverythingOutsideTheWell) {
    for (int row = 0; row <= 12; ++row) {
        EXPECT_EQ(CanPlace(-1, row), -1) << "row " << row;
        EXPECT_EQ(CanPlace(7, row), -1) << "row " << row;
    }
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(CanPlace(column, 11), 0) << "column " << column;
        EXPECT_EQ(CanPlace(column, 12), -1) << "column " << column;
        EXPECT_EQ(CanPlace(column, -1), -1) << "column " << column;
    }
}

TEST_F(BoardTest, CanPlaceNeedsBothCellsEmpty) {
    BoardCell(2, 6) = ARROW_LEFT; // only the lower cell of a pair at row 5
    EXPECT_EQ(CanPlace(2, 5), -1);
    EXPECT_EQ(CanPlace(2, 6), -1); // only the upper cell
    EXPECT_EQ(CanPlace(2, 4), 0);
    EXPECT_EQ(CanPlace(1, 5), 0);
    EXPECT_EQ(CanPlace(3, 5), 0);
    // Board is column-major: column 2, row 6 is element 2 * 13 + 6.
    EXPECT_EQ(Board[32], ARROW_LEFT);
}

TEST_F(BoardTest, ResetBoardEmptiesTheWellAndDealsWithoutCountingTowardsSpeed) {
    for (auto& cell : Board) cell = ARROW_DOWN;
    FallingPair.PairColumn = 6;
    FallingPair.PairRow = 9;
    FallCounter = 17;
    StartGame(7);
    for (auto cell : Board) EXPECT_EQ(cell, 0);
    EXPECT_EQ(FallingPair.PairColumn, 3);
    EXPECT_EQ(FallingPair.PairRow, 0);
    EXPECT_EQ(PairsSinceSpeedUp, 0u);
    EXPECT_EQ(FallInterval, 20u);
    EXPECT_EQ(FallCounter, 0u);
    for (uint8_t arrow : {FallingPair.CurrentTop, FallingPair.CurrentBottom, FallingPair.NextTop,
                          FallingPair.NextBottom}) {
        EXPECT_GE(arrow, 1);
        EXPECT_LE(arrow, 4);
    }
}

TEST_F(BoardTest, AdvancePairMovesTheNextPairUpUnchangedAndDealsTopFirst) {
    StartGame(1234);
    for (int i = 0; i < 50; ++i) {
        const uint8_t top = FallingPair.NextTop, bottom = FallingPair.NextBottom;
        FallCounter = 9;
        FallingPair.PairColumn = 5;
        FallingPair.PairRow = 8;
        AdvancePair();
        EXPECT_EQ(FallingPair.CurrentTop, top);
        EXPECT_EQ(FallingPair.CurrentBottom, bottom);
        EXPECT_EQ(FallCounter, 0u);
        EXPECT_EQ(FallingPair.PairColumn, 5) << "the caller places the pair";
        EXPECT_EQ(FallingPair.PairRow, 8);
    }
    // The next top comes from the first draw, the next bottom from the second.
    SeedRandom(99);
    const uint8_t first = DealArrow(), second = DealArrow();
    SeedRandom(99);
    AdvancePair();
    EXPECT_EQ(FallingPair.NextTop, first);
    EXPECT_EQ(FallingPair.NextBottom, second);
}

// The pace of the n-th pair of a game, as the schedule sets it out: 20 down
// to 1 over the first 200 pairs, then 10 down to 1 over and over.
uint32_t ExpectedInterval(int pair) {
    const int step = (pair - 1) / 10;
    return step < 20 ? 20u - step : 10u - (step - 20) % 10;
}

TEST_F(BoardTest, SpeedScheduleOverFourHundredPairsWrapsToTenNotZero) {
    StartGame(5);
    for (int pair = 1; pair <= 420; ++pair) {
        if (pair > 1) AdvancePair();
        ASSERT_EQ(FallInterval, ExpectedInterval(pair)) << "pair " << pair;
        ASSERT_LE(PairsSinceSpeedUp, 9u);
        ASSERT_NE(FallInterval, 0u);
    }
}

TEST_F(BoardTest, AtThePacesEndTheScheduleStartsAgainAtTen) {
    FallInterval = 1;
    PairsSinceSpeedUp = 9;
    AdvancePair();
    EXPECT_EQ(FallInterval, 10u);
    EXPECT_EQ(PairsSinceSpeedUp, 0u);
}

TEST_F(BoardTest, QuarterTurnIsClockwise) {
    EXPECT_EQ(QuarterTurn(ARROW_UP), ARROW_RIGHT);
    EXPECT_EQ(QuarterTurn(ARROW_RIGHT), ARROW_DOWN);
    EXPECT_EQ(QuarterTurn(ARROW_DOWN), ARROW_LEFT);
    EXPECT_EQ(QuarterTurn(ARROW_LEFT), ARROW_UP);
}

// The generator is written out, so these pairs are the same everywhere. If
// this test fails, saved replays and the runner's scripts deal differently.
TEST_F(BoardTest, ASeedDealsTheSamePairsOnEveryMachine) {
    StartGame(3);
    std::string dealt;
    for (int i = 0; i < 8; ++i) {
        dealt += char('0' + FallingPair.CurrentTop);
        dealt += char('0' + FallingPair.CurrentBottom);
        dealt += ' ';
        AdvancePair();
    }
    EXPECT_EQ(dealt, "11 34 42 34 21 22 41 34 ");
}

} // namespace
