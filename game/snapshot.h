// SPDX-License-Identifier: GPL-3.0-or-later
// A game in progress as bytes, and back: everything that decides what comes
// next (the well, the falling and next pair and their place, the score, the
// fall's interval and counters, the pair count, the random generator, the
// mode and its phase counters, the toggles and the key-repeat choices), so
// that a game ended by anything but the player can go on where it was.
//
// The bytes, little-endian: the magic "VSAV", a version (1), the length of
// what follows up to the checksum, the game, and a CRC-32 of everything
// before it. Nothing here touches a file.
#pragma once

#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "input/buttons.h"
#include "platform/crc32.h"

#include <cstddef>
#include <cstdint>

constexpr uint32_t SnapshotVersion = 1;
// The whole of a version-1 saved game.
constexpr int32_t SnapshotSize = 338;

// Whether the rules hold a game that a save keeps: in play or resolving a
// landing (the title and a game that has ended keep nothing).
bool GameInProgress();

// The current game's SnapshotSize bytes; 0 (and nothing written) when no
// game is in progress.
int32_t EncodeGame(uint8_t* bytes);

// Takes the game in `bytes` if they are a whole saved game of this version
// that the rules could have made: a short, long, damaged, foreign or later
// file, or one with a value out of its range, is refused with the game
// state untouched. The high score is the settings', not the game's.
bool DecodeGame(const uint8_t* bytes, size_t size);
// Whether DecodeGame would take `bytes`, leaving the game as it is.
bool GameBytesValid(const uint8_t* bytes, size_t size);

// Where the game itself lies in a saved game's bytes: after the magic, the
// version and the length, and before the checksum.
constexpr int32_t SnapshotHeaderSize = 12;
constexpr int32_t SnapshotPayloadSize = SnapshotSize - SnapshotHeaderSize - 4;
// The saved game's bytes around a game's SnapshotPayloadSize bytes: the
// header and the checksum made for them.
void WrapGame(const uint8_t* payload, uint8_t* bytes);

// A checksum of everything the rules hold now, in any mode, the high score
// too: two games are in the same state exactly when their digests agree
// (as near as a CRC-32 tells).
uint32_t GameDigest();

// The first rule of the rules' own that a state breaks, in words ("cell (2,
// 12) holds 5"), or nullptr: every state a tick leaves behind keeps them.
// SavedGameFault asks it of a game in progress as a save holds it (after the
// fields are read); GameFault of the game as it stands now, in any mode.
struct GameCopy;
const char* SavedGameFault(const GameCopy& game);
const char* GameFault();

// The rules' whole state, to go back to (a replay stepped backward): the
// buttons' places, which are the layout's, are not part of it.
struct GameCopy {
    BoardState board;
    MatchState match;
    FlowState flow;
    ButtonStates buttons;
};
void CopyGame(GameCopy* copy);
void RestoreGame(const GameCopy& copy);
// What a saved game holds of `game`: its SnapshotPayloadSize bytes.
void WriteGameFields(const GameCopy& game, uint8_t* bytes);
