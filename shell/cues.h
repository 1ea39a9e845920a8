// SPDX-License-Identifier: GPL-3.0-or-later
// The three sounds of the game, gated by the sound switch (button 1's state;
// only exactly 1 is on, and a stop request is gated too).
#pragma once

#include <cstdint>

enum Cue : int32_t {
    CUE_STOP = 0,     // stop whatever is playing
    CUE_LAND = 1,     // a pair lands: "WAVE3"
    CUE_CLEAR = 2,    // a scoring pass: "WAVE1"
    CUE_GAMEOVER = 3, // the end of a game: "WAVE2"
};

// Plays the cue to its end before returning (a stop returns at once).
void PlayCue(int32_t cue);
