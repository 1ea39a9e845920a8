// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/snapshot.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "input/buttons.h"
#include "platform/bytes.h"

#include <cstring>

namespace {
constexpr uint8_t Magic[4] = {'V', 'S', 'A', 'V'};
constexpr int32_t HeaderSize = SnapshotHeaderSize; // magic, version, length
constexpr int32_t PayloadSize = SnapshotPayloadSize;
// Writes or reads the fields in the file's order; `field` is told each one.
// This is the one list of what a saved game holds.
template <typename Visit> constexpr void EachField(GameCopy& g, Visit&& field) {
    BoardState& b = g.board;
    field.Bytes(b.Cells, BoardCells);
    field.Byte(b.Pair.CurrentTop);
    field.Byte(b.Pair.CurrentBottom);
    field.Byte(b.Pair.NextTop);
    field.Byte(b.Pair.NextBottom);
    field.Signed(b.Pair.PairColumn);
    field.Signed(b.Pair.PairRow);
    field.Unsigned(b.FallInterval);
    field.Unsigned(b.FallCounter);
    field.Unsigned(b.PairsSinceSpeedUp);
    field.Signed(b.Score);
    field.Signed(b.PanelScore);
    field.Unsigned(b.Random);
    MatchState& m = g.match;
    field.Bytes(m.Map, BoardCells);
    field.Signed(m.PassPoints);
    field.Signed(m.ChainCount);
    field.Signed(m.ChainTotal);
    field.Signed(m.MessageTimer);
    field.Text(m.Message, MessageSize);
    FlowState& f = g.flow;
    field.Signed(f.Mode);
    field.Signed(f.FallStep);
    field.Signed(f.ResolvePhase);
    field.Signed(f.GameOverTicks);
    field.Signed(f.NextShown);
    for (int32_t& k : f.KeyRepeat) field.Signed(k);
    field.Signed(g.buttons.toggles[BUTTON_SOUND]);
    field.Signed(g.buttons.toggles[BUTTON_PAUSE]);
    field.Signed(g.buttons.toggles[BUTTON_HIDDEN]);
    field.Signed(g.buttons.releasePending);
    field.Signed(g.buttons.pendingButton);
}

struct Writer {
    uint8_t* at;
    void Bytes(const uint8_t* p, int32_t n) {
        std::memcpy(at, p, static_cast<size_t>(n));
        at += n;
    }
    void Text(const char* p, int32_t n) { Bytes(reinterpret_cast<const uint8_t*>(p), n); }
    void Byte(uint8_t v) { *at++ = v; }
    void Unsigned(uint32_t v) {
        WriteLe32(at, v);
        at += 4;
    }
    void Signed(int32_t v) { Unsigned(static_cast<uint32_t>(v)); }
};

// Reads from bytes whose length has been checked already.
struct Reader {
    const uint8_t* at;
    void Bytes(uint8_t* p, int32_t n) {
        std::memcpy(p, at, static_cast<size_t>(n));
        at += n;
    }
    void Text(char* p, int32_t n) { Bytes(reinterpret_cast<uint8_t*>(p), n); }
    void Byte(uint8_t& v) { v = *at++; }
    void Unsigned(uint32_t& v) {
        v = ReadLe32(at);
        at += 4;
    }
    void Signed(int32_t& v) {
        uint32_t u = 0;
        Unsigned(u);
        v = static_cast<int32_t>(u);
    }
};

// How many bytes the fields take, counted by the same walk.
struct Counter {
    int32_t n;
    constexpr void Bytes(const uint8_t*, int32_t k) { n += k; }
    constexpr void Text(const char*, int32_t k) { n += k; }
    constexpr void Byte(uint8_t) { n += 1; }
    constexpr void Unsigned(uint32_t) { n += 4; }
    constexpr void Signed(int32_t) { n += 4; }
};

constexpr int32_t FieldBytes() {
    GameCopy g{};
    Counter c{0};
    EachField(g, c);
    return c.n;
}
static_assert(FieldBytes() == PayloadSize,
              "SnapshotSize is the header, the fields and the checksum");

// The game as it stands, walked into `bytes` (PayloadSize of them).
void WriteFields(uint8_t* bytes) {
    GameCopy g{};
    CopyGame(&g);
    WriteGameFields(g, bytes);
}
} // namespace

bool GameInProgress() { return Flow.Mode == MODE_PLAY || Flow.Mode == MODE_RESOLVE; }

int32_t EncodeGame(uint8_t* bytes) {
    if (!GameInProgress()) return 0;
    WriteFields(bytes + HeaderSize);
    WrapGame(bytes + HeaderSize, bytes);
    return SnapshotSize;
}

void WriteGameFields(const GameCopy& game, uint8_t* bytes) {
    GameCopy g = game;
    Writer w{bytes};
    EachField(g, w);
}

void WrapGame(const uint8_t* payload, uint8_t* bytes) {
    std::memcpy(bytes, Magic, sizeof Magic);
    WriteLe32(bytes + 4, SnapshotVersion);
    WriteLe32(bytes + 8, static_cast<uint32_t>(PayloadSize));
    std::memmove(bytes + HeaderSize, payload, static_cast<size_t>(PayloadSize));
    WriteLe32(bytes + HeaderSize + PayloadSize, Crc32(bytes, HeaderSize + PayloadSize));
}

uint32_t GameDigest() {
    uint8_t bytes[PayloadSize + 8];
    WriteFields(bytes);
    WriteLe32(bytes + PayloadSize, static_cast<uint32_t>(Board.HighScore));
    WriteLe32(bytes + PayloadSize + 4, static_cast<uint32_t>(Flow.TitleDrawn));
    return Crc32(bytes, sizeof bytes);
}

void CopyGame(GameCopy* copy) {
    copy->board = Board;
    copy->match = Match;
    copy->flow = Flow;
    CopyButtonStates(&copy->buttons);
}

void RestoreGame(const GameCopy& copy) {
    Board = copy.board;
    Match = copy.match;
    Flow = copy.flow;
    RestoreButtonStates(copy.buttons);
}

namespace {
// The game in `bytes`, read and checked, into `g`.
bool Parse(const uint8_t* bytes, size_t size, GameCopy* g) {
    if (bytes == nullptr || size != static_cast<size_t>(SnapshotSize)) return false;
    if (std::memcmp(bytes, Magic, sizeof Magic) != 0 || ReadLe32(bytes + 4) != SnapshotVersion ||
        ReadLe32(bytes + 8) != static_cast<uint32_t>(PayloadSize))
        return false;
    if (ReadLe32(bytes + HeaderSize + PayloadSize) != Crc32(bytes, HeaderSize + PayloadSize))
        return false;
    CopyGame(g); // what the saved game does not hold stays as it is
    Reader r{bytes + HeaderSize};
    EachField(*g, r);
    return SavedGameFault(*g) == nullptr;
}
} // namespace

bool GameBytesValid(const uint8_t* bytes, size_t size) {
    GameCopy g{};
    return Parse(bytes, size, &g);
}

bool DecodeGame(const uint8_t* bytes, size_t size) {
    GameCopy g{};
    if (!Parse(bytes, size, &g)) return false;
    g.flow.TitleDrawn = 0;
    g.buttons.optionsRequest = 0;
    RestoreGame(g);
    return true;
}
