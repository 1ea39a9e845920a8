// SPDX-License-Identifier: GPL-3.0-or-later
// A replay read back: its form checked whole before anything plays (every
// move read once), then played a tick at a time.
#include "game/board.h"
#include "game/flow.h"
#include "game/replay.h"
#include "game/replay_code.h"
#include "game/replay_moves.h"
#include "game/snapshot.h"
#include "input/input_state.h"
#include "platform/bytes.h"

#include <cstring>

namespace {
using namespace replay_moves;

struct Loaded {
    bool ready;
    uint8_t bytes[ReplayMaxBytes];
    size_t size;
    uint8_t flags;
    uint32_t ticks;
    int32_t endScore;
    uint32_t endDigest;
    int32_t highAtStart;
    uint8_t start[SnapshotSize];
    size_t movesAt, movesEnd; // bytes
};
Loaded Replay;

struct Move {
    uint8_t kind;
    uint32_t at; // the tick it comes on
    InputMove input;
    uint8_t choices; // the Options dialog's answer, one bit each
    size_t stateAt;  // a saved game's packed bytes
};

// Where the playing stands.
struct Cursor {
    uint32_t played;
    size_t bitAt;
    uint32_t lastAt;
    bool anyInput;
    InputMove last;
    uint8_t held;
    bool ahead; // `next` has been read
    Move next;
};
static_assert(sizeof(Cursor) <= sizeof(ReplayPlace::bytes));
Cursor Now;

BitReader ReaderAt(size_t bitAt) {
    return BitReader{Replay.bytes + Replay.movesAt, (Replay.movesEnd - Replay.movesAt) * 8, bitAt,
                     true};
}

// The saved game a state move holds, at byte `at` of the moves.
bool StateAt(size_t at, uint8_t* game, size_t* used) {
    uint8_t payload[SnapshotPayloadSize];
    const size_t n = UnpackZeros(Replay.bytes + Replay.movesAt + at,
                                 Replay.movesEnd - Replay.movesAt - at, payload, sizeof payload);
    if (n == 0) return false;
    WrapGame(payload, game);
    *used = n;
    return GameBytesValid(game, SnapshotSize);
}

// Reads the next move into `c->next`. True with a move; false at the end of
// the moves, with `*damaged` set when what is there is no move.
bool ReadMove(Cursor* c, bool* damaged) {
    c->ahead = false;
    BitReader r = ReaderAt(c->bitAt);
    if (!BitsLeft(r)) return false;
    *damaged = true;
    const uint32_t gap = GetGap(&r);
    if (!r.ok || gap > Replay.ticks - c->lastAt) return false;
    Move m{MOVE_INPUT, c->lastAt + gap, {}, 0, 0};
    if (GetBits(&r, 1) == 0) {
        if (!c->anyInput) return false;
        m.input = c->last;
    } else {
        m.input.code = static_cast<uint8_t>(GetBits(&r, 3));
        if (m.input.code == 5) {
            m.input.arg = static_cast<uint8_t>(GetBits(&r, 3));
            if (m.input.arg == TYPED_NONE || m.input.arg > TYPED_OTHER) return false;
        } else if (m.input.code == 6) {
            m.input.arg = static_cast<uint8_t>(GetBits(&r, 3));
            if (m.input.arg > 4) return false;
        } else if (m.input.code == 7) {
            const uint32_t special = GetBits(&r, 2);
            if (special == 0) {
                m.input.general = Input{static_cast<uint8_t>(GetBits(&r, 5)),
                                        static_cast<uint8_t>(GetBits(&r, 5)),
                                        static_cast<uint8_t>(GetBits(&r, 3))};
                if (m.input.general.typed > TYPED_OTHER) return false;
            } else if (special == 1) {
                m.kind = MOVE_OPTIONS;
                m.choices = static_cast<uint8_t>(GetBits(&r, 4));
            } else if (special == 2) {
                m.kind = MOVE_PAUSE;
            } else {
                m.kind = MOVE_STATE;
                r.at = (r.at + 7) / 8 * 8;
                m.stateAt = r.at / 8;
                uint8_t game[SnapshotSize];
                size_t used = 0;
                if (r.at > r.bits || !StateAt(m.stateAt, game, &used)) return false;
                r.at += used * 8;
            }
        }
    }
    // An input move is a tick's own: none after the last tick.
    if (!r.ok || (m.kind == MOVE_INPUT && m.at >= Replay.ticks)) return false;
    if (m.kind == MOVE_INPUT) {
        c->last = m.input;
        c->anyInput = true;
    }
    c->lastAt = m.at;
    c->bitAt = r.at;
    c->next = m;
    c->ahead = true;
    *damaged = false;
    return true;
}

void Begin(Cursor* c) {
    *c = Cursor{};
    bool damaged = false;
    ReadMove(c, &damaged);
}

// Reads the form; the moves are checked when the replay is loaded.
int32_t ReadForm(const uint8_t* bytes, size_t size) {
    if (size < 2) return REPLAY_DAMAGED;
    if (bytes[0] != ReplayVersion)
        return bytes[0] > ReplayVersion ? REPLAY_LATER_VERSION : REPLAY_NOT_A_CODE;
    if (size < 12 || ReadLe32(bytes + size - 4) != Crc32(bytes, size - 4)) return REPLAY_DAMAGED;
    Replay.flags = bytes[1];
    size_t at = 2;
    bool ok = (bytes[1] & ~FlagCut) == 0;
    const size_t body = size - 4;
    Replay.ticks = GetVarint(bytes, body, &at, &ok);
    Replay.endScore = static_cast<int32_t>(GetVarint(bytes, body, &at, &ok));
    if (!ok || at + 4 > body) return REPLAY_DAMAGED;
    Replay.endDigest = ReadLe32(bytes + at);
    at += 4;
    Replay.highAtStart = static_cast<int32_t>(GetVarint(bytes, body, &at, &ok));
    uint8_t payload[SnapshotPayloadSize];
    const size_t packed = ok ? UnpackZeros(bytes + at, body - at, payload, sizeof payload) : 0;
    if (packed == 0) return REPLAY_DAMAGED;
    WrapGame(payload, Replay.start);
    if (!GameBytesValid(Replay.start, SnapshotSize) || Replay.highAtStart < 0)
        return REPLAY_DAMAGED;
    Replay.movesAt = at + packed;
    Replay.movesEnd = body;
    return REPLAY_LOADED;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
} // namespace

int32_t ReplayLoad(const char* text, size_t length) {
    Replay.ready = false;
    if (text == nullptr) return REPLAY_NOT_A_CODE;
    while (length > 0 && Blank(text[length - 1])) --length;
    size_t from = 0;
    while (from < length && Blank(text[from])) ++from;
    // A link, or a line holding one: the code follows its last '='.
    for (size_t i = from; i < length; ++i)
        if (text[i] == '=') from = i + 1;
    if (from >= length) return REPLAY_NOT_A_CODE;
    const int32_t n = Base64Decode(text + from, length - from, Replay.bytes, sizeof Replay.bytes);
    if (n < 0) return REPLAY_NOT_A_CODE;
    Replay.size = static_cast<size_t>(n);
    const int32_t result = ReadForm(Replay.bytes, Replay.size);
    if (result != REPLAY_LOADED) return result;
    // Every move read once: a replay whose moves break off is damaged.
    Cursor c{};
    bool damaged = false;
    while (ReadMove(&c, &damaged)) {
    }
    if (damaged) return REPLAY_DAMAGED;
    Replay.ready = true;
    ReplayRewind();
    return REPLAY_LOADED;
}

const char* ReplayLoadProblem(int32_t result) {
    switch (result) {
    case REPLAY_LOADED: return "";
    case REPLAY_NOT_A_CODE: return "no replay code (a replay is letters, digits, - and _)";
    case REPLAY_LATER_VERSION: return "a replay of a later version of vantle";
    default: return "a damaged replay (its checksum or its moves do not hold)";
    }
}

void ReplayRewind() {
    if (!Replay.ready) return;
    DecodeGame(Replay.start, SnapshotSize);
    Board.HighScore = Replay.highAtStart;
    ResetInputState();
    Begin(&Now);
}

uint32_t ReplayLength() { return Replay.ready ? Replay.ticks : 0; }
uint32_t ReplayPlayed() { return Now.played; }
bool ReplayLoadedCut() { return (Replay.flags & FlagCut) != 0; }
int32_t ReplayEndScore() { return Replay.endScore; }

bool ReplayStep() {
    if (!Replay.ready) return false;
    const uint32_t t = Now.played;
    Input input{Now.held, 0, TYPED_NONE};
    bool damaged = false;
    while (Now.ahead && Now.next.at == t) {
        const Move m = Now.next;
        switch (m.kind) {
        case MOVE_INPUT:
            input = Apply(m.input, Now.held);
            Now.held = input.held;
            break;
        case MOVE_OPTIONS:
            for (int32_t i = 0; i < 4; ++i) Flow.KeyRepeat[i] = (m.choices >> (3 - i)) & 1;
            break;
        case MOVE_PAUSE: PausePlay(); break;
        default: {
            uint8_t game[SnapshotSize];
            size_t used = 0;
            if (StateAt(m.stateAt, game, &used)) DecodeGame(game, SnapshotSize);
            break;
        }
        }
        ReadMove(&Now, &damaged);
    }
    if (t >= Replay.ticks) return false;
    SetLatchedInput(input.held, input.pressed, CodeOf(input.typed));
    ++Now.played;
    return true;
}

bool ReplayEndsRight() {
    return Replay.ready && Now.played == Replay.ticks && GameDigest() == Replay.endDigest &&
           Board.Score == Replay.endScore;
}

void ReplayTell(ReplayPlace* place) { std::memcpy(place->bytes, &Now, sizeof Now); }

void ReplaySeek(const ReplayPlace& place) { std::memcpy(&Now, place.bytes, sizeof Now); }
