// SPDX-License-Identifier: GPL-3.0-or-later
// The well and the falling pair: the board, dealing, the speed schedule and
// the placement test. Everything here is one module-level instance.
#pragma once

#include <cstdint>

constexpr int BoardColumns = 7;
constexpr int BoardRows = 13;
constexpr int BoardCells = BoardColumns * BoardRows;

// Cell values. A quarter turn goes up -> right -> down -> left -> up.
enum Arrow : uint8_t { ARROW_NONE = 0, ARROW_UP = 1, ARROW_RIGHT = 2, ARROW_DOWN = 3, ARROW_LEFT = 4 };

// Column-major: each column's 13 cells are contiguous, its top cell first.
extern uint8_t Board[BoardCells];

inline uint8_t& BoardCell(int column, int row) { return Board[column * BoardRows + row]; }

struct FallingPairState {
    uint8_t CurrentTop;
    uint8_t CurrentBottom;
    uint8_t NextTop;
    uint8_t NextBottom;
    int32_t PairColumn; // 0..6
    int32_t PairRow;    // row of the top arrow, 0..11; the bottom one is a row lower
};
extern FallingPairState FallingPair;

// An automatic drop happens when FallCounter exceeds FallInterval. While the
// title shows, FallCounter counts title ticks; the next game is seeded with it.
extern uint32_t FallInterval;
extern uint32_t FallCounter;
extern uint32_t PairsSinceSpeedUp;

extern int32_t Score;
extern int32_t HighScore;

// The pseudo-random generator: a written-out linear congruential generator,
// so a seed deals the same pairs on every compiler and machine.
void SeedRandom(uint32_t seed);
uint32_t NextRandom(); // 0..32767

uint8_t DealArrow();                   // (value AND 3) + 1
uint8_t QuarterTurn(uint8_t arrow);    // clockwise: 1->2->3->4->1

void ResetBoard();
void AdvancePair();
int32_t CanPlace(int32_t column, int32_t row); // 0 fits, -1 blocked

// Puts every value of this module back to its start-up state (all zero) and
// the generator to its default seed. For tests and the headless runner.
void ResetBoardModule();
