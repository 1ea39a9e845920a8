// SPDX-License-Identifier: GPL-3.0-or-later
// Every picture of the game, drawn into the BackBuffer at the moment the game
// changes it: the play screen, the title, the pair and the next pair, single
// cells, the message box and the two seven-digit counters.
#pragma once

#include <cstdint>

void DrawPlayfield(); // also empties the well and deals the first pairs
void DrawTitleScreen();
void ShowMessage(const char* text);
void DrawScore();
void DrawHighScore(); // raises HighScore to Score first
void DrawDigits(int32_t value, int32_t x, int32_t y);
void DrawCell(int32_t column, int32_t row, int32_t arrow);
void EraseCell(int32_t column, int32_t row);
void DrawPair();
void ErasePair();
void DrawNextPair();

// The text last passed to ShowMessage.
const char* LastMessage();

// Fixed places in the panel, relative to PanelX and AreaY.
constexpr int32_t MessageBoxY = 77, MessageBoxWidth = 64, MessageBoxHeight = 16;
constexpr int32_t ScoreBoxY = 97, ScoreDigitsY = 112;
constexpr int32_t HighScoreBoxY = 128, HighScoreDigitsY = 143;
constexpr int32_t NextFrameX = 16, NextFrameY = 24;
constexpr int32_t NextTopX = 24, NextTopY = 38, NextBottomY = 54;
