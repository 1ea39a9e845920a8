// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the samples of a RIFF wave file, the form of the game's sounds.
#pragma once

#include <cstddef>
#include <cstdint>

struct WavePcm {
    const uint8_t* data;
    size_t size;
    int32_t channels, bits, rate;
};

// Finds the format and the samples of plain PCM, chunk by chunk, never
// reading past `size`. A file cut short in its samples gives what it has;
// false when there is no format before the samples, or no samples at all.
bool FindWavePcm(const uint8_t* data, size_t size, WavePcm* pcm);

// The wave resource `name` as the game plays it: 8-bit mono at 11025
// samples a second. False, with nothing to play, for any other kind.
constexpr int32_t GameWaveRate = 11025;
bool FindGameWave(const char* name, WavePcm* pcm);
