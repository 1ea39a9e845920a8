// SPDX-License-Identifier: GPL-3.0-or-later
// How the rules tell the rest of the game what they have changed. The rules
// never draw or play anything themselves: at each change they call the entry
// of this table that stands for it, at the moment of the change, so that a
// picture drawn piece by piece from these calls is always up to date. The
// shell fills the table with the drawing routines and the sound cues; an
// entry left empty is simply not called.
#pragma once

#include <cstdint>

// The three sounds of the game and the stop request.
enum Cue : int32_t {
    CUE_STOP = 0,     // stop whatever is playing
    CUE_LAND = 1,     // a pair lands: "WAVE3"
    CUE_CLEAR = 2,    // a scoring pass: "WAVE1"
    CUE_GAMEOVER = 3, // the end of a game: "WAVE2"
};

struct GameReport {
    void (*PlayScreen)();  // the play screen afresh: empty well, panel, buttons, message, scores
    void (*TitleScreen)(); // the title over the game area, and its three buttons
    void (*Cell)(int32_t column, int32_t row, int32_t arrow); // ARROW_NONE: the cell is emptied
    void (*Pair)();                                           // the falling pair at its place
    void (*PairGone)();                          // the falling pair taken off its place
    void (*NextPair)();                          // the next pair in its frame
    void (*Score)();                             // the panel's score
    void (*HighScore)();                         // the panel's high score
    void (*Message)();                           // the panel's message, the text the rules hold
    void (*Button)(int32_t index, int32_t down); // a button shown pressed (1) or raised (0)
    void (*Sound)(int32_t cue);
};

// The table in use; all entries empty until the shell sets its own.
void SetGameReport(const GameReport& report);

// Each call below does nothing when its entry is empty.
void ReportPlayScreen();
void ReportTitleScreen();
void ReportCell(int32_t column, int32_t row, int32_t arrow);
void ReportPair();
void ReportPairGone();
void ReportNextPair();
void ReportScore();
void ReportHighScore();
void ReportMessage();
void ReportButton(int32_t index, int32_t down);
void ReportSound(int32_t cue);
