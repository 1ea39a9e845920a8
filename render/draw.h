// SPDX-License-Identifier: GPL-3.0-or-later
// Every picture of the game, drawn into the BackBuffer from the game's state:
// the play screen, the title, the pair and the next pair, single cells, the
// message box and the two seven-digit counters. Drawing reads the state and
// never changes it.
#pragma once

#include <cstdint>

void DrawPlayfield(); // the play screen of an empty well: panel, buttons, message, scores
void DrawTitleScreen();
void DrawMessage(); // the message the rules hold
void DrawScore();   // the score the panel shows
void DrawHighScore();
void DrawDigits(int32_t value, int32_t x, int32_t y);
void DrawCell(int32_t column, int32_t row, int32_t arrow);
void EraseCell(int32_t column, int32_t row);
// A cell drawn as it now holds `arrow`: erased when it holds none.
void DrawOrEraseCell(int32_t column, int32_t row, int32_t arrow);
void DrawPair();
void ErasePair();
void DrawNextPair();

// The whole picture afresh from the state alone: what the pieces drawn at
// each change have built up, pixel for pixel, in every mode.
void DrawGame();

// Fixed places in the panel, relative to PanelX and AreaY.
constexpr int32_t MessageBoxY = 77, MessageBoxWidth = 64, MessageBoxHeight = 16;
constexpr int32_t ScoreBoxY = 97, ScoreDigitsY = 112;
constexpr int32_t HighScoreBoxY = 128, HighScoreDigitsY = 143;
constexpr int32_t NextFrameX = 16, NextFrameY = 24;
constexpr int32_t NextTopX = 24, NextTopY = 38, NextBottomY = 54;
