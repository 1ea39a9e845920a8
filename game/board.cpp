// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/board.h"

#include <cstring>

namespace {
constexpr uint32_t DefaultSeed = 1;
} // namespace

BoardState Board{{}, {}, 0, 0, 0, 0, 0, 0, DefaultSeed};

void SeedRandom(uint32_t seed) { Board.Random = seed; }

uint32_t NextRandom() {
    Board.Random = Board.Random * 214013u + 2531011u;
    return (Board.Random >> 16) & 0x7FFFu;
}

uint8_t DealArrow() { return static_cast<uint8_t>((NextRandom() & 3u) + 1u); }

uint8_t QuarterTurn(uint8_t arrow) { return arrow < 4 ? static_cast<uint8_t>(arrow + 1) : 1; }

void AdvancePair() {
    FallingPairState& pair = Board.Pair;
    pair.CurrentTop = pair.NextTop;
    pair.NextTop = DealArrow();
    pair.CurrentBottom = pair.NextBottom;
    pair.NextBottom = DealArrow();
    Board.FallCounter = 0;
    Board.PairsSinceSpeedUp++;
    if (Board.PairsSinceSpeedUp >= PairsPerSpeedUp) {
        Board.PairsSinceSpeedUp = 0;
        Board.FallInterval--;
        // After the fastest pace the cycle starts again at ten, never at zero.
        if (Board.FallInterval == 0) Board.FallInterval = 10;
    }
}

void ResetBoard() {
    std::memset(Board.Cells, 0, sizeof Board.Cells);
    Board.Pair.PairColumn = StartColumn;
    Board.Pair.PairRow = 0;
    AdvancePair();
    AdvancePair();
    // Dealing the first two pairs is not progress towards a speed-up.
    Board.PairsSinceSpeedUp = 0;
}

int32_t CanPlace(int32_t column, int32_t row) {
    // No caller asks for a row above the well; refusing one anyway keeps a
    // stray call from reading outside the board.
    if (column < 0 || column >= BoardColumns || row < 0 || row > BoardRows - 2) return -1;
    if (BoardCell(column, row) != 0 || BoardCell(column, row + 1) != 0) return -1;
    return 0;
}

void RaiseHighScore() {
    if (Board.HighScore < Board.Score) Board.HighScore = Board.Score;
}

void SetHighScore(int32_t score) { Board.HighScore = score; }

void PutArrow(int32_t column, int32_t row, uint8_t arrow) {
    if (column >= 0 && column < BoardColumns && row >= 0 && row < BoardRows)
        BoardCell(column, row) = arrow;
}

void SetPairArrows(uint8_t top, uint8_t bottom) {
    Board.Pair.CurrentTop = top;
    Board.Pair.CurrentBottom = bottom;
}

void SetNextArrows(uint8_t top, uint8_t bottom) {
    Board.Pair.NextTop = top;
    Board.Pair.NextBottom = bottom;
}

void ResetBoardModule() {
    Board = BoardState{};
    Board.Random = DefaultSeed;
}
