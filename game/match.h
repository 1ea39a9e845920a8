// SPDX-License-Identifier: GPL-3.0-or-later
// Lines of four equal arrows, across, down or on either diagonal: finding
// and removing them, letting the arrows above fall, and paying each pass of a
// chain by its place in the chain.
#pragma once

#include "game/board.h"

#include <cstdint>

// How many lines of four each cell belongs to in the current pass; all zero
// between passes.
extern uint8_t MatchMap[BoardCells];
extern int32_t PassPoints;   // the counts removed this pass, then the pass's pay
extern int32_t ChainCount;   // scoring passes so far in this resolve sequence
extern int32_t ChainTotal;   // what this sequence has paid; the panel shows it
extern int32_t MessageTimer; // play ticks until the panel message is blanked

void MarkMatches();
void ClearMatches();
void ApplyGravity();
void CollapseColumn(int32_t column, int32_t row);
// Pays the pass just cleared; does nothing when it removed nothing.
void ScorePass();

void ResetMatchState();
