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
// A cell lies on at most four lines of four in each of the four directions.
constexpr uint8_t MaxLinesThroughCell = 16;
constexpr int32_t MessageTicks = 30;

// Everything a saved game holds, gathered from the modules or read from
// the bytes before any of it is taken.
struct Snapshot {
    uint8_t cells[BoardCells];
    FallingPairState pair;
    uint32_t fallInterval, fallCounter, pairsSinceSpeedUp;
    int32_t score, panelScore;
    uint32_t random;
    uint8_t map[BoardCells];
    int32_t passPoints, chainCount, chainTotal, messageTimer;
    uint8_t message[MessageSize];
    int32_t mode, fallStep, resolvePhase, gameOverTicks, nextShown;
    int32_t keyRepeat[4];
    int32_t sound, pause, hidden;
    int32_t releasePending, pendingButton;
};

// Writes or reads the fields in the file's order; `Field` is told each one.
template <typename Visit> constexpr void EachField(Snapshot& s, Visit&& field) {
    field.Bytes(s.cells, BoardCells);
    field.Byte(s.pair.CurrentTop);
    field.Byte(s.pair.CurrentBottom);
    field.Byte(s.pair.NextTop);
    field.Byte(s.pair.NextBottom);
    field.Signed(s.pair.PairColumn);
    field.Signed(s.pair.PairRow);
    field.Unsigned(s.fallInterval);
    field.Unsigned(s.fallCounter);
    field.Unsigned(s.pairsSinceSpeedUp);
    field.Signed(s.score);
    field.Signed(s.panelScore);
    field.Unsigned(s.random);
    field.Bytes(s.map, BoardCells);
    field.Signed(s.passPoints);
    field.Signed(s.chainCount);
    field.Signed(s.chainTotal);
    field.Signed(s.messageTimer);
    field.Bytes(s.message, MessageSize);
    field.Signed(s.mode);
    field.Signed(s.fallStep);
    field.Signed(s.resolvePhase);
    field.Signed(s.gameOverTicks);
    field.Signed(s.nextShown);
    for (int32_t& k : s.keyRepeat) field.Signed(k);
    field.Signed(s.sound);
    field.Signed(s.pause);
    field.Signed(s.hidden);
    field.Signed(s.releasePending);
    field.Signed(s.pendingButton);
}

struct Writer {
    uint8_t* at;
    void Bytes(const uint8_t* p, int32_t n) {
        std::memcpy(at, p, static_cast<size_t>(n));
        at += n;
    }
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
    constexpr void Byte(uint8_t) { n += 1; }
    constexpr void Unsigned(uint32_t) { n += 4; }
    constexpr void Signed(int32_t) { n += 4; }
};

constexpr int32_t FieldBytes() {
    Snapshot s{};
    Counter c{0};
    EachField(s, c);
    return c.n;
}
static_assert(FieldBytes() == PayloadSize,
              "SnapshotSize is the header, the fields and the checksum");

Snapshot Gather() {
    Snapshot s{};
    std::memcpy(s.cells, Board.Cells, sizeof s.cells);
    s.pair = Board.Pair;
    s.fallInterval = Board.FallInterval;
    s.fallCounter = Board.FallCounter;
    s.pairsSinceSpeedUp = Board.PairsSinceSpeedUp;
    s.score = Board.Score;
    s.panelScore = Board.PanelScore;
    s.random = Board.Random;
    std::memcpy(s.map, Match.Map, sizeof s.map);
    s.passPoints = Match.PassPoints;
    s.chainCount = Match.ChainCount;
    s.chainTotal = Match.ChainTotal;
    s.messageTimer = Match.MessageTimer;
    std::memcpy(s.message, Match.Message, sizeof s.message);
    s.mode = Flow.Mode;
    s.fallStep = Flow.FallStep;
    s.resolvePhase = Flow.ResolvePhase;
    s.gameOverTicks = Flow.GameOverTicks;
    s.nextShown = Flow.NextShown;
    std::memcpy(s.keyRepeat, Flow.KeyRepeat, sizeof s.keyRepeat);
    s.sound = Buttons.Table[BUTTON_SOUND].state;
    s.pause = Buttons.Table[BUTTON_PAUSE].state;
    s.hidden = Buttons.Table[BUTTON_HIDDEN].state;
    s.releasePending = Buttons.ReleasePending;
    s.pendingButton = Buttons.PendingButton;
    return s;
}

void Take(const Snapshot& s) {
    std::memcpy(Board.Cells, s.cells, sizeof Board.Cells);
    Board.Pair = s.pair;
    Board.FallInterval = s.fallInterval;
    Board.FallCounter = s.fallCounter;
    Board.PairsSinceSpeedUp = s.pairsSinceSpeedUp;
    Board.Score = s.score;
    Board.PanelScore = s.panelScore;
    Board.Random = s.random;
    std::memcpy(Match.Map, s.map, sizeof Match.Map);
    Match.PassPoints = s.passPoints;
    Match.ChainCount = s.chainCount;
    Match.ChainTotal = s.chainTotal;
    Match.MessageTimer = s.messageTimer;
    std::memcpy(Match.Message, s.message, sizeof Match.Message);
    Flow.Mode = s.mode;
    Flow.TitleDrawn = 0;
    Flow.FallStep = s.fallStep;
    Flow.ResolvePhase = s.resolvePhase;
    Flow.GameOverTicks = s.gameOverTicks;
    Flow.NextShown = s.nextShown;
    std::memcpy(Flow.KeyRepeat, s.keyRepeat, sizeof Flow.KeyRepeat);
    Buttons.Table[BUTTON_SOUND].state = s.sound;
    Buttons.Table[BUTTON_PAUSE].state = s.pause;
    Buttons.Table[BUTTON_HIDDEN].state = s.hidden;
    Buttons.ReleasePending = s.releasePending;
    Buttons.PendingButton = s.pendingButton;
    Buttons.OptionsRequest = 0;
}

bool IsArrow(uint8_t a) { return a >= ARROW_UP && a <= ARROW_LEFT; }

bool PairFitsIn(const Snapshot& s) {
    const int32_t at = s.pair.PairColumn * BoardRows + s.pair.PairRow;
    return s.cells[at] == ARROW_NONE && s.cells[at + 1] == ARROW_NONE;
}

// Between landings every column is packed: nothing empty below an arrow.
bool ColumnsPacked(const Snapshot& s) {
    for (int32_t column = 0; column < BoardColumns; ++column) {
        bool filled = false;
        for (int32_t row = 0; row < BoardRows; ++row) {
            const bool here = s.cells[column * BoardRows + row] != ARROW_NONE;
            if (filled && !here) return false;
            filled = filled || here;
        }
    }
    return true;
}

bool KnownPhase(int32_t phase) {
    return (phase >= RESOLVE_LAND && phase <= RESOLVE_PAUSE2) || phase == RESOLVE_END;
}

// Whether the rules could have left this state behind at the end of a
// tick; nothing out of range is ever taken.
bool Plausible(const Snapshot& s) {
    for (const uint8_t c : s.cells)
        if (c > ARROW_LEFT) return false;
    for (const uint8_t m : s.map)
        if (m > MaxLinesThroughCell) return false;
    const FallingPairState& p = s.pair;
    if (!IsArrow(p.CurrentTop) || !IsArrow(p.CurrentBottom) || !IsArrow(p.NextTop) ||
        !IsArrow(p.NextBottom))
        return false;
    if (p.PairColumn < 0 || p.PairColumn >= BoardColumns || p.PairRow < 0 ||
        p.PairRow > BoardRows - 2)
        return false;
    if (s.fallInterval < 1 || s.fallInterval > 20 || s.fallCounter > s.fallInterval ||
        s.pairsSinceSpeedUp > 9)
        return false;
    if (s.score < 0 || s.panelScore < 0 || s.panelScore > s.score) return false;
    if (s.passPoints < 0 || s.chainCount < 0 || s.chainTotal < 0 || s.messageTimer < 0 ||
        s.messageTimer > MessageTicks)
        return false;
    // The message is a text the panel can show, ended within its box.
    bool ended = false;
    for (const uint8_t c : s.message) {
        if (c == 0) {
            ended = true;
            break;
        }
        if (c < 0x20 || c > 0x7E) return false;
    }
    if (!ended) return false;
    if (s.fallStep != 0 && s.fallStep != 1) return false;
    // The PAUSE bar is lit exactly while the fall stands.
    if (s.pause != 1 - s.fallStep) return false;
    if (s.gameOverTicks != 0 || s.nextShown != 1) return false;
    if (s.releasePending != 0 && s.releasePending != 1) return false;
    if (s.pendingButton < 0 || s.pendingButton >= ButtonCount) return false;
    if (s.mode == MODE_PLAY)
        return s.resolvePhase == RESOLVE_LAND && PairFitsIn(s) && ColumnsPacked(s);
    if (s.mode == MODE_RESOLVE)
        return KnownPhase(s.resolvePhase) && (s.resolvePhase != RESOLVE_LAND || PairFitsIn(s));
    return false;
}
} // namespace

uint32_t Crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int32_t bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

bool GameInProgress() { return Flow.Mode == MODE_PLAY || Flow.Mode == MODE_RESOLVE; }

int32_t EncodeGame(uint8_t* bytes) {
    if (!GameInProgress()) return 0;
    Snapshot s = Gather();
    Writer w{bytes + HeaderSize};
    EachField(s, w);
    WrapGame(bytes + HeaderSize, bytes);
    return SnapshotSize;
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
    Snapshot s = Gather();
    Writer w{bytes};
    EachField(s, w);
    WriteLe32(bytes + PayloadSize, static_cast<uint32_t>(Board.HighScore));
    WriteLe32(bytes + PayloadSize + 4, static_cast<uint32_t>(Flow.TitleDrawn));
    return Crc32(bytes, sizeof bytes);
}

void CopyGame(GameCopy* copy) {
    copy->board = Board;
    copy->match = Match;
    copy->flow = Flow;
    for (int32_t i = 0; i < ButtonCount; ++i) copy->buttonStates[i] = Buttons.Table[i].state;
    copy->releasePending = Buttons.ReleasePending;
    copy->pendingButton = Buttons.PendingButton;
    copy->optionsRequest = Buttons.OptionsRequest;
}

void RestoreGame(const GameCopy& copy) {
    Board = copy.board;
    Match = copy.match;
    Flow = copy.flow;
    for (int32_t i = 0; i < ButtonCount; ++i) Buttons.Table[i].state = copy.buttonStates[i];
    Buttons.ReleasePending = copy.releasePending;
    Buttons.PendingButton = copy.pendingButton;
    Buttons.OptionsRequest = copy.optionsRequest;
}

namespace {
// The game in `bytes`, read and checked, into `s`.
bool Parse(const uint8_t* bytes, size_t size, Snapshot* s) {
    if (bytes == nullptr || size != static_cast<size_t>(SnapshotSize)) return false;
    if (std::memcmp(bytes, Magic, sizeof Magic) != 0 || ReadLe32(bytes + 4) != SnapshotVersion ||
        ReadLe32(bytes + 8) != static_cast<uint32_t>(PayloadSize))
        return false;
    if (ReadLe32(bytes + HeaderSize + PayloadSize) != Crc32(bytes, HeaderSize + PayloadSize))
        return false;
    Reader r{bytes + HeaderSize};
    EachField(*s, r);
    return Plausible(*s);
}
} // namespace

bool GameBytesValid(const uint8_t* bytes, size_t size) {
    Snapshot s{};
    return Parse(bytes, size, &s);
}

bool DecodeGame(const uint8_t* bytes, size_t size) {
    Snapshot s{};
    if (!Parse(bytes, size, &s)) return false;
    Take(s);
    return true;
}
