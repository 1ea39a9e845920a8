// SPDX-License-Identifier: GPL-3.0-or-later
// Every module of the game back to where a new process starts, so that one
// process can start the game (RunScript) again and again.
#pragma once

// Frees the surfaces of a window still open (without the destroy message,
// so nothing is saved) and resets the rules, input, buttons and the headless
// backend.
void FreshGame();
