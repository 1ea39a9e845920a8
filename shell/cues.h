// SPDX-License-Identifier: GPL-3.0-or-later
// The three sounds of the game. The rules ask for a sound only while the
// sound switch is on (SoundOn); a stop may come at any time.
#pragma once

#include "game/report.h"

#include <cstdint>

// Plays the cue to its end before returning (a stop returns at once).
void PlayCue(int32_t cue);
