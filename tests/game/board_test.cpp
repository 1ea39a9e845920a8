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
        Board.FallInterval = 20;
        Board.PairsSinceSpeedUp = 0;
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
    EXPECT_EQ(Board.Cells[32], ARROW_LEFT);
}

TEST_F(BoardTest, ResetBoardEmptiesTheWellAndDealsWithoutCountingTowardsSpeed) {
    for (auto& cell : Board.Cells) cell = ARROW_DOWN;
    Board.Pair.PairColumn = 6;
    Board.Pair.PairRow = 9;
    Board.FallCounter = 17;
    StartGame(7);
    for (auto cell : Board.Cells) EXPECT_EQ(cell, 0);
    EXPECT_EQ(Board.Pair.PairColumn, 3);
    EXPECT_EQ(Board.Pair.PairRow, 0);
    EXPECT_EQ(Board.PairsSinceSpeedUp, 0u);
    EXPECT_EQ(Board.FallInterval, 20u);
    EXPECT_EQ(Board.FallCounter, 0u);
    for (uint8_t arrow : {Board.Pair.CurrentTop, Board.Pair.CurrentBottom, Board.Pair.NextTop,
                          Board.Pair.NextBottom}) {
        EXPECT_GE(arrow, 1);
        EXPECT_LE(arrow, 4);
    }
}

TEST_F(BoardTest, AdvancePairMovesTheNextPairUpUnchangedAndDealsTopFirst) {
    StartGame(1234);
    for (int i = 0; i < 50; ++i) {
        const uint8_t top = Board.Pair.NextTop, bottom = Board.Pair.NextBottom;
        Board.FallCounter = 9;
        Board.Pair.PairColumn = 5;
        Board.Pair.PairRow = 8;
        AdvancePair();
        EXPECT_EQ(Board.Pair.CurrentTop, top);
        EXPECT_EQ(Board.Pair.CurrentBottom, bottom);
        EXPECT_EQ(Board.FallCounter, 0u);
        EXPECT_EQ(Board.Pair.PairColumn, 5) << "the caller places the pair";
        EXPECT_EQ(Board.Pair.PairRow, 8);
    }
    // The next top comes from the first draw, the next bottom from the second.
    SeedRandom(99);
    const uint8_t first = DealArrow(), second = DealArrow();
    SeedRandom(99);
    AdvancePair();
    EXPECT_EQ(Board.Pair.NextTop, first);
    EXPECT_EQ(Board.Pair.NextBottom, second);
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
        ASSERT_EQ(Board.FallInterval, ExpectedInterval(pair)) << "pair " << pair;
        ASSERT_LE(Board.PairsSinceSpeedUp, 9u);
        ASSERT_NE(Board.FallInterval, 0u);
    }
}

TEST_F(BoardTest, AtThePacesEndTheScheduleStartsAgainAtTen) {
    Board.FallInterval = 1;
    Board.PairsSinceSpeedUp = 9;
    AdvancePair();
    EXPECT_EQ(Board.FallInterval, 10u);
    EXPECT_EQ(Board.PairsSinceSpeedUp, 0u);
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
        dealt += char('0' + Board.Pair.CurrentTop);
        dealt += char('0' + Board.Pair.CurrentBottom);
        dealt += ' ';
        AdvancePair();
    }
    EXPECT_EQ(dealt, "11 34 42 34 21 22 41 34 ");
}

} // namespace
