// SPDX-License-Identifier: GPL-3.0-or-later
// The rules a player relies on, checked after every tick of a soak: the
// well holds only arrows and packed columns, the pair sits on empty cells
// inside it, the score never falls, the high score keeps up with it, the
// line counts are cleared between passes, and no sound is heard while the
// sound switch is off.
#pragma once

#include <cstdint>

struct SoakWatch {
    uint64_t tick;        // ticks of the whole soak so far
    uint64_t sessionTick; // ticks since the game was started
    int32_t prevMode;     // as the previous tick left them
    int32_t prevScore;
    int32_t prevHigh;
    int32_t soundBefore; // button 1's state when the tick began
    uint64_t failedAt;   // the tick of the first broken rule, 0 while none
    char failure[256];
    // What the soak went through.
    uint64_t modeTicks[4];
    uint64_t silentTicks; // ticks with the sound switch off all through
    uint64_t games;
    uint64_t scoringPasses;
    int32_t longestChain;
    int32_t bestScore;
    uint64_t cues;
};

// Before a game starts: the values it starts from (as loading the settings
// gives them).
void StartWatch(SoakWatch& watch, int32_t sound, int32_t highScore);

// The runner's after-tick hook; `watch` is a SoakWatch.
void CheckTick(void* watch);

// After the window has gone: what happened outside the ticks (the stop cue
// of the close) and whether the file on disk holds what the game held.
void CheckClose(SoakWatch& watch, const char* settingsPath);
