// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/board.h"

#include <cstring>

uint8_t Board[BoardCells];
FallingPairState FallingPair;
uint32_t FallInterval;
uint32_t FallCounter;
uint32_t PairsSinceSpeedUp;
int32_t Score;
int32_t HighScore;

namespace {
constexpr uint32_t DefaultSeed = 1;
uint32_t RandomState = DefaultSeed;
} // namespace

void SeedRandom(uint32_t seed) { RandomState = seed; }

uint32_t NextRandom() {
    RandomState = RandomState * 214013u + 2531011u;
    return (RandomState >> 16) & 0x7FFFu;
}

uint8_t DealArrow() { return static_cast<uint8_t>((NextRandom() & 3u) + 1u); }

uint8_t QuarterTurn(uint8_t arrow) { return arrow < 4 ? static_cast<uint8_t>(arrow + 1) : 1; }

void AdvancePair() {
    FallingPair.CurrentTop = FallingPair.NextTop;
    FallingPair.NextTop = DealArrow();
    FallingPair.CurrentBottom = FallingPair.NextBottom;
    FallingPair.NextBottom = DealArrow();
    FallCounter = 0;
    PairsSinceSpeedUp++;
    if (PairsSinceSpeedUp >= 10) {
        PairsSinceSpeedUp = 0;
        FallInterval--;
        // After the fastest pace the cycle starts again at ten, never at zero.
        if (FallInterval == 0) FallInterval = 10;
    }
}

void ResetBoard() {
    std::memset(Board, 0, sizeof Board);
    FallingPair.PairColumn = 3;
    FallingPair.PairRow = 0;
    AdvancePair();
    AdvancePair();
    // Dealing the first two pairs is not progress towards a speed-up.
    PairsSinceSpeedUp = 0;
}

int32_t CanPlace(int32_t column, int32_t row) {
    // No caller asks for a row above the well; refusing one anyway keeps a
    // stray call from reading outside the board.
    if (column < 0 || column >= BoardColumns || row < 0 || row > BoardRows - 2) return -1;
    if (BoardCell(column, row) != 0 || BoardCell(column, row + 1) != 0) return -1;
    return 0;
}

void ResetBoardModule() {
    std::memset(Board, 0, sizeof Board);
    FallingPair = FallingPairState{};
    FallInterval = 0;
    FallCounter = 0;
    PairsSinceSpeedUp = 0;
    Score = 0;
    HighScore = 0;
    RandomState = DefaultSeed;
}
