// SPDX-License-Identifier: GPL-3.0-or-later
// The game in progress kept beside the settings, in "vantle.sav", so that a
// game ended by anything but the player (a signal, a lost display, the
// window closed, a power cut, a browser page thrown away) comes back where
// it was. It is written whenever a new pair is dealt and whenever play is
// paused, and at every end the player did not choose; the player's own quit
// (Escape or the quit button in play) and the end of a game throw it away.
// At start a valid saved game is shown at once, paused, instead of the
// title.
#pragma once

#include <cstdint>

constexpr const char* GameFileName = "vantle.sav";
// Held by the copy of the game that keeps a game in progress, beside it.
constexpr const char* LockFileName = "vantle.lock";

// Where the saved game lives. Empty (as until set) means none: nothing is
// read or written.
void SetGamePath(const char* path);

// At start, after the settings: takes the saved game if the file holds a
// valid one, puts it back in play paused and draws it. False (the state
// untouched) when there is none, or the file is short, damaged, foreign or
// of a later version: the title comes as before, and the next save
// replaces the file. A file the game could not remove once the player ends
// the game (read-only, or in a read-only folder) is not offered, and one
// line on standard error says so.
bool ResumeSavedGame();

// A game brought from elsewhere (its saved form, checked by GameBytesValid)
// that the next ResumeSavedGame takes instead of the file, and keeps.
void SetGameToContinue(const uint8_t* bytes);

// Writes the game in progress; false when there is none or it could not be
// written (the file is then as it was).
bool SaveGame();
// Throws the saved game away.
void DiscardGame();

// The rules of when, around each tick: what the tick changed decides.
void KeepBeforeTick();
// `result` is GameTick's: non-zero when the player quit.
void KeepAfterTick(int32_t result);
// The program may end now without the player having asked (the window
// destroyed by anything but the player's quit, a page hidden or closed, the
// display lost): the game in progress is written. False when there was none
// to keep, or it could not be.
bool KeepAtEnd();
// Whether a game is in progress that an end not chosen by the player keeps.
bool GameToKeepAtEnd();
// Whether the player ended the program (Escape, the quit button).
bool PlayerEnded();

// Back to the state at start-up (the path stays).
void ResetKeeping();
