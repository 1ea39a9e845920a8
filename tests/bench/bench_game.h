// SPDX-License-Identifier: GPL-3.0-or-later
// The game started headless for a benchmark: a window of a chosen size, its
// surfaces and the title screen, as vantle-sim starts it.
#pragma once

#include <cstdint>

// Starts the game (no settings file is read: the defaults) and runs the
// first tick, which draws the title.
void OpenGame(int32_t windowWidth, int32_t windowHeight);
// Frees what the game holds, saving nothing.
void CloseGame();

// One tick as the timer runs it, for setting up: latch, step, dialog.
void SetupTick();
// From the title into play: Enter, held for a tick.
void StartPlaying();
// The well's lower part filled with arrows that make no line (taller at the
// sides), each drawn as the game draws it.
void FillWellPartly();
