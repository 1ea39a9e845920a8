// SPDX-License-Identifier: GPL-3.0-or-later
// Random play for the headless runner: scripts of keys (pressed, held and
// auto-repeated), pen taps on and off the buttons, Options dialogs answered
// at random, pauses, long drops and the sound key. The soak plays them for
// millions of ticks; the benchmarks time the runner on them.
#pragma once

#include <cstdint>
#include <string>

// A small generator of its own (splitmix64): the same seed gives the same
// scripts on every machine, whatever the game's own generator does.
struct SoakRandom {
    uint64_t State;
};
uint64_t NextBits(SoakRandom& random);
uint32_t Below(SoakRandom& random, uint32_t n); // 0..n-1, n > 0
bool Chance(SoakRandom& random, uint32_t percent);

// Where a tap lands on each on-screen button, in window pixels, for one
// window size; measured with the game's own layout code.
struct TapTarget {
    int32_t x0, y0, x1, y1; // pixels that hit the button: x0 <= x < x1
    uint16_t key;
};
struct PlayField {
    int32_t windowWidth, windowHeight;
    double scale;
    TapTarget buttons[16];
    int32_t buttonCount;
};

// Lays the screen out for a window of this size (no window is made, and
// nothing is left allocated) and notes where the buttons are.
PlayField MeasurePlayField(int32_t windowWidth, int32_t windowHeight);

// Appends about `ticks` ticks of random play to `script` and returns how
// many ticks it holds. Escape never occurs, as a key or as a tap on the
// close box, and neither does the close command; keys still held at the end
// are let go.
uint64_t AppendRandomPlay(SoakRandom& random, const PlayField& field, uint64_t ticks,
                          std::string* script);
