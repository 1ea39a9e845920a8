// SPDX-License-Identifier: GPL-3.0-or-later
// The three sounds of the game, gated by the sound switch (only exactly 1 is
// on, and a stop request is gated too).
#pragma once

#include "game/report.h"

#include <cstdint>

// Plays the cue to its end before returning (a stop returns at once).
void PlayCue(int32_t cue);
