// SPDX-License-Identifier: GPL-3.0-or-later
// Lines of four equal arrows, across, down or on either diagonal: finding
// and removing them, letting the arrows above fall, and paying each pass of a
// chain by its place in the chain. The module's state is the one instance
// Match.
#pragma once

#include "game/board.h"

#include <cstdint>

constexpr int32_t MessageSize = 32;
// How many ticks a scoring pass's message shows.
constexpr int32_t MessageTicks = 30;
// A cell lies on at most four lines of four in each of the four directions.
constexpr uint8_t MaxLinesThroughCell = 16;

struct MatchState {
    // How many lines of four each cell belongs to in the current pass; all
    // zero between passes.
    uint8_t Map[BoardCells];
    int32_t PassPoints;        // the counts removed this pass, then the pass's pay
    int32_t ChainCount;        // scoring passes so far in this resolve sequence
    int32_t ChainTotal;        // what this sequence has paid; the panel shows it
    int32_t MessageTimer;      // play ticks until the panel message is blanked
    char Message[MessageSize]; // the panel's message
};
extern MatchState Match;

void MarkMatches();
void ClearMatches();
void ApplyGravity();
void CollapseColumn(int32_t column, int32_t row);
// Pays the pass just cleared; does nothing when it removed nothing.
void ScorePass();

// Puts a text in the panel's message box (cut to what the box holds).
void ShowMessage(const char* text);

void ResetMatchState();
