// SPDX-License-Identifier: GPL-3.0-or-later
// The well and the falling pair: the board, dealing, the speed schedule and
// the placement test. The module's state is the one instance Board.
#pragma once

#include <cstdint>

constexpr int BoardColumns = 7;
constexpr int BoardRows = 13;
constexpr int BoardCells = BoardColumns * BoardRows;

// Cell values. A quarter turn goes up -> right -> down -> left -> up.
enum Arrow : uint8_t {
    ARROW_NONE = 0,
    ARROW_UP = 1,
    ARROW_RIGHT = 2,
    ARROW_DOWN = 3,
    ARROW_LEFT = 4
};

inline bool IsArrow(int32_t a) { return a >= ARROW_UP && a <= ARROW_LEFT; }

// Where each new pair comes in: its top arrow in this column of the top row.
constexpr int32_t StartColumn = 3;
// The fall's pace at a game's start, in ticks a row (plus one), and how many
// pairs each step of the pace lasts.
constexpr uint32_t StartFallInterval = 20;
constexpr uint32_t PairsPerSpeedUp = 10;

struct FallingPairState {
    uint8_t CurrentTop;
    uint8_t CurrentBottom;
    uint8_t NextTop;
    uint8_t NextBottom;
    int32_t PairColumn; // 0..6
    int32_t PairRow;    // row of the top arrow, 0..11; the bottom one is a row lower
};

struct BoardState {
    // Column-major: each column's 13 cells are contiguous, its top cell first.
    uint8_t Cells[BoardCells];
    FallingPairState Pair;
    // An automatic drop happens when FallCounter exceeds FallInterval. While
    // the title shows, FallCounter counts title ticks; the next game is
    // seeded with it.
    uint32_t FallInterval;
    uint32_t FallCounter;
    uint32_t PairsSinceSpeedUp;
    int32_t Score;
    int32_t HighScore;
    // The score the panel shows: brought up to Score when a resolve sequence
    // ends, so that it lags behind while a chain is being paid.
    int32_t PanelScore;
    // The pseudo-random generator's state.
    uint32_t Random;
};
extern BoardState Board;

inline uint8_t& BoardCell(int column, int row) { return Board.Cells[column * BoardRows + row]; }

// The pseudo-random generator: a written-out linear congruential generator,
// so a seed deals the same pairs on every compiler and machine.
void SeedRandom(uint32_t seed);
uint32_t NextRandom(); // 0..32767

uint8_t DealArrow();                // (value AND 3) + 1
uint8_t QuarterTurn(uint8_t arrow); // clockwise: 1->2->3->4->1

void ResetBoard();
void AdvancePair();
int32_t CanPlace(int32_t column, int32_t row); // 0 fits, -1 blocked
// The same test read forwards: whether the pair fits with its top at (column, row).
inline bool PairFits(int32_t column, int32_t row) { return CanPlace(column, row) == 0; }
// The high score rises to the score when that is higher.
void RaiseHighScore();
// The high score as the settings (or a game brought back) give it.
void SetHighScore(int32_t score);
// Arrows put where a test's runner asks: a cell of the well, the falling
// pair's, the next pair's.
void PutArrow(int32_t column, int32_t row, uint8_t arrow);
void SetPairArrows(uint8_t top, uint8_t bottom);
void SetNextArrows(uint8_t top, uint8_t bottom);

// Puts every value of this module back to its start-up state (all zero) and
// the generator to its default seed.
void ResetBoardModule();
