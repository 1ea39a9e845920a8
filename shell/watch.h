// SPDX-License-Identifier: GPL-3.0-or-later
// Watching a replay with the game's own picture and sounds: the replay's
// moves take the place of the player's input, tick by tick, and the player's
// keys, taps and controller work the replay instead:
//
//   Space            pause, go on          (controller: Start)
//   Right / Left     one tick forward / back, paused   (D-pad right / left)
//   Down             on to the next pair, paused       (D-pad down)
//   Up or +          faster: x1, x2, x4, x8            (D-pad up)
//   S or -           slower                            (X)
//   Home or O        back to the start, paused         (Y)
//   Enter            play on from here: the game, paused as a kept game
//                    comes back, is the player's own   (A)
//   Escape           stop watching: the program ends   (Back)
//
// Above x1 the replay plays silently. Watching changes none of the player's
// files: the settings are saved as they were before, and no game is kept
// (until the player plays on).
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>

// The replay to watch once the window is made (a code, or a link that ends
// in one); none, as until set, for a game as usual.
void SetWatchCode(const char* text, size_t length);
// At the window's creation, after the settings: starts watching the replay
// set, if any. False when there is none, or it is no replay (one line on
// standard error says why; the title then comes as usual).
bool WatchBegin();
bool Watching();
// A key, or the key of a button or touch control tapped, while watching.
void WatchKey(uint32_t key);
// One timer tick while watching: true when the picture changed.
bool WatchTick();
// How many coming ticks are idle while watching (IDLE_UNTIL_INPUT when
// paused or at the end).
int32_t WatchIdleTicks();
// The window hidden while watching: the replay pauses.
void WatchHidden();
// The settings saved while watching: the player's own choices and high
// score, not the replay's; false as SaveSettings says.
bool WatchSaveSettings();
