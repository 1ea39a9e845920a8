// SPDX-License-Identifier: GPL-3.0-or-later
// Integer arithmetic for everything that ends up in a file: the same bytes
// on every machine, whatever its floating-point library does.
#pragma once

#include <cstdint>

// Angles are in 1/65536 of a turn; sine and cosine come back scaled by 16384.
constexpr int32_t FullTurn = 65536;
constexpr int32_t One14 = 16384;
int32_t SinQ14(int32_t angle);
int32_t CosQ14(int32_t angle);

uint32_t ISqrt(uint64_t v);

// xorshift32: a tiny generator whose sequence is fixed by its seed.
struct Rng {
    uint32_t State;
};
uint32_t NextRandom(Rng& rng);
// Uniform in lo..hi, both included.
int32_t RandomRange(Rng& rng, int32_t lo, int32_t hi);

// A well-mixed hash of a lattice point, for noise.
uint32_t HashPoint(int32_t x, int32_t y, uint32_t seed);

// Smooth value noise, 0..255, at (x, y) in pixels with lattice cells of
// `cell` pixels.
int32_t ValueNoise(int32_t x, int32_t y, int32_t cell, uint32_t seed);
// Octaves of value noise from `cell` down, each half the size and weight;
// 0..255.
int32_t FractalNoise(int32_t x, int32_t y, int32_t cell, int32_t octaves, uint32_t seed);
