// SPDX-License-Identifier: GPL-3.0-or-later
// The moves of a replay are a stream of bits. What the rules read of the
// input on a tick is the held keys, the keys newly pressed and the key newly
// typed (of which only Escape, Space, O, S or another matter); a tick that
// reads the keys held before, nothing pressed and nothing typed is no move
// at all. Every move is the number of ticks since the last move (an
// exponential-Golomb code) and one of:
//
//   0          the last input move again
//   1 kkk      k 0 to 4: a key (Left, Right, Up, Down, Enter) goes down or up;
//              going down it is pressed, and typed as another key
//   1 101 ccc  nothing held or pressed changes; key c is typed
//   1 110 kkk  key k pressed but not held (a tap let go within the tick)
//   1 111 00 hhhhh ppppp ccc   any other input
//   1 111 01 rrrr              the Options dialog's answer: the four choices
//   1 111 10                   a pause for the window hidden
//   1 111 11, to a whole byte, a saved game with its zeros packed: the game
//              set from outside
//
// An input move is its tick's input; the moves before it on the same tick
// come before the tick.
#include "game/replay.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/replay_code.h"
#include "game/replay_moves.h"
#include "game/snapshot.h"
#include "input/input_state.h"
#include "platform/bytes.h"

#include <cstring>

namespace {
using namespace replay_moves;

// ---- Recording ----

struct Recording {
    bool running, ended, cut;
    uint8_t start[SnapshotPayloadSize];
    int32_t highAtStart;
    uint32_t ticks;   // recorded so far
    uint32_t lastAt;  // the tick of the last move
    uint8_t held;     // as the last input move left them
    bool anyInput;    // an input move has been written
    InputMove last;   // ... the last of them
    int32_t endScore; // when ended
    uint32_t endDigest;
    uint8_t moves[ReplayMovesBytes];
    BitWriter bits;
};
Recording Rec;

// Room kept at the end of the moves for what comes between two ticks (the
// longest is a whole saved game), so that it always fits.
constexpr size_t RoomBetweenTicks = 512;

bool Writable() { return Rec.running; }

// Before a tick: when the moves are nearly out of room, the recording keeps
// what it has and ends here, with the game as the last tick left it.
void CheckRoom() {
    if (Rec.bits.bits / 8 + RoomBetweenTicks < Rec.bits.size && !Rec.bits.full) return;
    Rec.cut = true;
    Rec.running = false;
    Rec.ended = true;
    Rec.endScore = Board.Score;
    Rec.endDigest = GameDigest();
}

void PutGapTo(uint32_t tick) {
    PutGap(&Rec.bits, tick - Rec.lastAt);
    Rec.lastAt = tick;
}

void PutSpecial(uint32_t kind) {
    PutGapTo(Rec.ticks);
    PutBits(&Rec.bits, 0xF, 4); // 1 111
    PutBits(&Rec.bits, kind, 2);
}

InputMove MoveFor(const Input& now, uint8_t held) {
    const auto changed = static_cast<uint8_t>(now.held ^ held);
    const int32_t k = SingleKey(changed);
    if (k >= 0 && now == Toggled(held, k)) return InputMove{static_cast<uint8_t>(k), 0, {}};
    if (changed == 0 && now.pressed == 0) return InputMove{5, now.typed, {}};
    const int32_t tap = SingleKey(now.pressed);
    if (changed == 0 && tap >= 0 && now.typed == TYPED_OTHER)
        return InputMove{6, static_cast<uint8_t>(tap), {}};
    return InputMove{7, 0, now};
}
} // namespace

void ReplayRecordStart() {
    uint8_t bytes[SnapshotSize];
    if (EncodeGame(bytes) == 0) return;
    std::memcpy(Rec.start, bytes + SnapshotHeaderSize, sizeof Rec.start);
    Rec.running = true;
    Rec.ended = Rec.cut = false;
    Rec.highAtStart = Board.HighScore;
    Rec.ticks = Rec.lastAt = 0;
    Rec.held = 0;
    Rec.anyInput = false;
    Rec.bits = BitWriter{Rec.moves, sizeof Rec.moves, 0, false};
}

bool ReplayRecording() { return Rec.running; }

void ReplayRecordTick() {
    if (!Writable()) return;
    CheckRoom();
    if (!Rec.running) return;
    const Input now{static_cast<uint8_t>(InputState.HeldKeys & KeyFlags),
                    static_cast<uint8_t>(InputState.PressedKeys & KeyFlags),
                    TypedOf(InputState.NewChar)};
    if (now != Input{Rec.held, 0, TYPED_NONE}) {
        const InputMove move = MoveFor(now, Rec.held);
        PutGapTo(Rec.ticks);
        if (Rec.anyInput && move == Rec.last) {
            PutBits(&Rec.bits, 0, 1);
        } else {
            PutBits(&Rec.bits, 1, 1);
            PutBits(&Rec.bits, move.code, 3);
            if (move.code == 5 || move.code == 6) PutBits(&Rec.bits, move.arg, 3);
            if (move.code == 7) {
                PutBits(&Rec.bits, 0, 2);
                PutBits(&Rec.bits, now.held, 5);
                PutBits(&Rec.bits, now.pressed, 5);
                PutBits(&Rec.bits, now.typed, 3);
            }
        }
        Rec.last = move;
        Rec.anyInput = true;
        Rec.held = now.held;
    }
    ++Rec.ticks;
}

void ReplayRecordOptions() {
    if (!Writable()) return;
    PutSpecial(1);
    for (const int32_t choice : Flow.KeyRepeat) PutBits(&Rec.bits, choice != 0 ? 1 : 0, 1);
}

void ReplayRecordPause() {
    if (!Writable()) return;
    PutSpecial(2);
}

void ReplayRecordState() {
    uint8_t bytes[SnapshotSize];
    if (!Writable() || EncodeGame(bytes) == 0) return;
    PutSpecial(3);
    while (Rec.bits.bits % 8 != 0) PutBits(&Rec.bits, 0, 1);
    uint8_t packed[SnapshotSize + 64];
    const size_t n =
        PackZeros(bytes + SnapshotHeaderSize, SnapshotPayloadSize, packed, sizeof packed);
    for (size_t i = 0; i < n; ++i) PutBits(&Rec.bits, packed[i], 8);
}

void ReplayRecordEnd() {
    if (!Rec.running) return;
    Rec.running = false;
    Rec.ended = true;
    Rec.endScore = Board.Score;
    Rec.endDigest = GameDigest();
}

bool ReplayRecordCut() { return Rec.cut; }
int32_t ReplayRecordHighAtStart() { return Rec.highAtStart; }

int32_t ReplayCode(char* text, int32_t capacity) {
    if (!Rec.running && !Rec.ended) return 0;
    const int32_t score = Rec.running ? Board.Score : Rec.endScore;
    const uint32_t digest = Rec.running ? GameDigest() : Rec.endDigest;
    static uint8_t bytes[ReplayMaxBytes];
    size_t n = 0;
    bytes[n++] = ReplayVersion;
    bytes[n++] = Rec.cut ? FlagCut : 0;
    n += PutVarint(bytes + n, Rec.ticks);
    n += PutVarint(bytes + n, static_cast<uint32_t>(score));
    WriteLe32(bytes + n, digest);
    n += 4;
    n += PutVarint(bytes + n, static_cast<uint32_t>(Rec.highAtStart));
    const size_t packed = PackZeros(Rec.start, sizeof Rec.start, bytes + n, 400);
    if (packed == 0) return 0;
    n += packed;
    const size_t moves = (Rec.bits.bits + 7) / 8;
    std::memcpy(bytes + n, Rec.moves, moves);
    // The last byte's unwritten bits are zeros.
    if (Rec.bits.bits % 8 != 0)
        bytes[n + moves - 1] &= static_cast<uint8_t>(0xFF00u >> (Rec.bits.bits % 8));
    n += moves;
    WriteLe32(bytes + n, Crc32(bytes, n));
    n += 4;
    if (!Base64Encode(bytes, n, text, static_cast<size_t>(capacity))) return 0;
    return static_cast<int32_t>(std::strlen(text));
}
