// SPDX-License-Identifier: GPL-3.0-or-later
// Every game played is recorded (game/replay.h), from its start or from the
// kept game it came back from, and kept for the player beside the settings
// when it ends: the last game's replay in "vantle-last.replay" and the best
// game's (the one that raised the high score) in "vantle-best.replay", each
// its code on one line of text, written as the settings are.
#pragma once

#include <cstdint>

constexpr const char* LastReplayFileName = "vantle-last.replay";
constexpr const char* BestReplayFileName = "vantle-best.replay";

// Where the two files go (a folder ending in '/'); empty, as until set,
// for none.
void SetReplayFolder(const char* folder);

// Around each tick of the game: the input the rules are about to read is
// recorded; a game that starts is recorded from then on, and one that ends
// (its game over done, or the player's quit) is kept.
void RecordBeforeTick();
void RecordAfterTick(int32_t result);
// A game taken back (a kept game, a replay played on from) is recorded from
// where it stands.
void RecordFromHere();
// Between ticks: the Options dialog has answered (`before`: the choices it
// was opened with), or the window was hidden and play paused.
void RecordOptions(const int32_t before[4]);
void RecordPause();
// The program may end now: the game's replay so far is kept as the last.
// With `ending`, the recording ends too (the game, kept, comes back with a
// replay of its own).
void RecordProgramEnd(bool ending);
