// SPDX-License-Identifier: GPL-3.0-or-later
// A game told by where it began and what the rules took on which tick: every
// game is recorded as it is played, and a replay read back plays the same
// game again, tick for tick. A replay is a short text, safe in a link: the
// base64url of these bytes (version 1):
//
//   the version, then flags (1: the recording ran out of room and holds only
//   its beginning); as varints, the ticks it holds and the score at its end;
//   the digest of the rules' state at its end (GameDigest, 4 bytes); a
//   varint, the high score at its start; the saved game it starts from
//   (game/snapshot.h) with its runs of zeros packed; the moves, a stream of
//   bits (replay.cpp), up to the last four bytes, a CRC-32 of all before.
//
// A replay that does not lead where it says (the rules changed since) is
// told apart from one that is damaged, which the CRC-32 finds. Later
// versions of the form must still read every earlier one.
#pragma once

#include "platform/base64.h"

#include <cstddef>
#include <cstdint>

constexpr uint8_t ReplayVersion = 1;
// The moves of a recording: about three hours of a key pressed twice a
// second. A longer game keeps the replay of what fits, and says so.
constexpr int32_t ReplayMovesBytes = 40000;
constexpr int32_t ReplayMaxBytes = ReplayMovesBytes + 512;
constexpr int32_t ReplayMaxText = static_cast<int32_t>(Base64Length(ReplayMaxBytes)) + 1;

// --- Recording: one at a time, and the last one ended is kept until the
// next begins.

// Begins recording the game in progress: its state now is the start, and
// the next tick the first move.
void ReplayRecordStart();
bool ReplayRecording();
// Each tick of the game, after the input is latched and before the rules'
// step: what the rules are about to read.
void ReplayRecordTick();
// What else changes the game, between two ticks: the Options dialog's
// answer (the key-repeat choices now), a pause for the window hidden, the
// game set from outside (a test's runner putting arrows in the well).
void ReplayRecordOptions();
void ReplayRecordPause();
void ReplayRecordState();
// The recording ends with the game as it is now.
void ReplayRecordEnd();
// Whether the recording (running, or the last one ended) ran out of room.
bool ReplayRecordCut();
// The high score when the recording began.
int32_t ReplayRecordHighAtStart();
// The code of the running recording as it stands now, or of the last one
// ended, with its ending zero; its length, or 0 when there is none or it
// does not fit.
int32_t ReplayCode(char* text, int32_t capacity);

// --- Playing: the replay read last.

enum ReplayLoadResult : int32_t {
    REPLAY_LOADED = 0,
    REPLAY_NOT_A_CODE,    // characters that are no replay's, or none
    REPLAY_LATER_VERSION, // a form this game does not know (a later one)
    REPLAY_DAMAGED,       // a replay's form, but its checksum or contents do not hold
};
// Takes a code: the text alone, or a link or a line that ends in one
// ("...#watch=CODE"), blanks around it allowed.
int32_t ReplayLoad(const char* text, size_t length);
const char* ReplayLoadProblem(int32_t result);

// The rules put at the replay's start, its first tick next.
void ReplayRewind();
uint32_t ReplayLength(); // ticks
uint32_t ReplayPlayed(); // ticks played since the start
bool ReplayLoadedCut();
int32_t ReplayEndScore();
// The next tick: what changed the game before it is done, and the input the
// rules read on it is put where the latch puts it; the caller then runs the
// rules' tick. False, and nothing to run, at the end.
bool ReplayStep();
// At the end: whether the game is where the replay says it ended.
bool ReplayEndsRight();

// Where the playing stands, to come back to with the game's state (a
// replay stepped backward).
struct ReplayPlace {
    alignas(8) uint8_t bytes[96];
};
void ReplayTell(ReplayPlace* place);
void ReplaySeek(const ReplayPlace& place);
