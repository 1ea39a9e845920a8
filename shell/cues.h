// SPDX-License-Identifier: GPL-3.0-or-later
// The three sounds of the game, and a stop, as the rules ask for them
// (PlaySound, which asks only while the sound switch is on).
#pragma once

#include "game/report.h"

#include <cstdint>

// Plays the cue to its end before returning (a stop returns at once).
void PlayCue(int32_t cue);
