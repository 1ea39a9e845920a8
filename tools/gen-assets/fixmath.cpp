// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/fixmath.h"

int32_t SinQ14(int32_t angle) {
    int32_t a = angle & (FullTurn - 1);
    int32_t sign = 1;
    if (a >= FullTurn / 2) {
        a -= FullTurn / 2;
        sign = -1;
    }
    if (a > FullTurn / 4) a = FullTurn / 2 - a;
    // sin(x * pi / 2) on 0..1 as x (a + x^2 (b + c x^2)) with a = pi / 2 and
    // b, c chosen so that the curve ends at exactly 1 with zero slope.
    int64_t x = a; // quarter turn = 16384 = 1.0
    int64_t x2 = (x * x) >> 14;
    int64_t inner = -10512 + ((1160 * x2) >> 14);
    // inner is negative: an arithmetic shift, as C++20 defines it.
    // cppcheck-suppress shiftNegativeLHS
    int64_t r = (x * (25736 + ((x2 * inner) >> 14))) >> 14;
    return sign * static_cast<int32_t>(r);
}

int32_t CosQ14(int32_t angle) { return SinQ14(angle + FullTurn / 4); }

uint32_t ISqrt(uint64_t v) {
    uint64_t result = 0;
    uint64_t bit = uint64_t{1} << 62;
    while (bit > v) bit >>= 2;
    while (bit != 0) {
        if (v >= result + bit) {
            v -= result + bit;
            result = (result >> 1) + bit;
        } else {
            result >>= 1;
        }
        bit >>= 2;
    }
    return static_cast<uint32_t>(result);
}

uint32_t NextRandom(Rng& rng) {
    uint32_t x = rng.State == 0 ? 0x9E3779B9u : rng.State;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    rng.State = x;
    return x;
}

int32_t RandomRange(Rng& rng, int32_t lo, int32_t hi) {
    uint32_t span = static_cast<uint32_t>(hi - lo) + 1u;
    return lo + static_cast<int32_t>(NextRandom(rng) % span);
}

uint32_t HashPoint(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x27D4EB2Fu;
    h ^= static_cast<uint32_t>(x) * 0x9E3779B1u;
    h = (h ^ (h >> 15)) * 0x85EBCA77u;
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h = (h ^ (h >> 13)) * 0x2C1B3C6Du;
    h ^= h >> 16;
    return h;
}

namespace {
int32_t FloorDiv(int32_t a, int32_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// 3t^2 - 2t^3 with t in 0..256.
int32_t Smooth(int32_t t) { return t * t * (768 - 2 * t) / 65536; }
} // namespace

int32_t ValueNoise(int32_t x, int32_t y, int32_t cell, uint32_t seed) {
    if (cell < 1) cell = 1; // a cell is at least a pixel
    int32_t cx = FloorDiv(x, cell), cy = FloorDiv(y, cell);
    int32_t tx = Smooth((x - cx * cell) * 256 / cell);
    int32_t ty = Smooth((y - cy * cell) * 256 / cell);
    int32_t v00 = static_cast<int32_t>(HashPoint(cx, cy, seed) >> 24);
    int32_t v10 = static_cast<int32_t>(HashPoint(cx + 1, cy, seed) >> 24);
    int32_t v01 = static_cast<int32_t>(HashPoint(cx, cy + 1, seed) >> 24);
    int32_t v11 = static_cast<int32_t>(HashPoint(cx + 1, cy + 1, seed) >> 24);
    int32_t top = v00 * 256 + (v10 - v00) * tx;
    int32_t bottom = v01 * 256 + (v11 - v01) * tx;
    return (top * 256 + (bottom - top) * ty) / 65536;
}

int32_t FractalNoise(int32_t x, int32_t y, int32_t cell, int32_t octaves, uint32_t seed) {
    int32_t sum = 0, weight = 0, w = 256;
    for (int32_t o = 0; o < octaves && cell >= 1; o++) {
        sum += ValueNoise(x, y, cell, seed + static_cast<uint32_t>(o) * 7919u) * w;
        weight += w;
        w /= 2;
        cell /= 2;
    }
    return weight > 0 ? sum / weight : 128;
}
