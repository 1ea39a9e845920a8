// SPDX-License-Identifier: GPL-3.0-or-later
// The three sound cues, synthesised: RIFF WAVE, PCM, mono, 8-bit unsigned,
// 11025 samples per second.
#pragma once

#include "tools/gen-assets/bytes.h"

#include <cstdint>

constexpr int32_t WaveRate = 11025;

// WAVE1: a bright two-note chime for a scoring pass, 2205 samples.
Bytes ChimeWave();
// WAVE2: a falling phrase for the end of a game, 9702 samples.
Bytes GameOverWave();
// WAVE3: a soft thud for a landing pair, 1102 samples.
Bytes ThudWave();
