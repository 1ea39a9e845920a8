// SPDX-License-Identifier: GPL-3.0-or-later
// The rules every state a tick leaves behind keeps, checked in one place: a
// saved game that breaks one is refused (snapshot.cpp), and the soak checks
// every tick of its random play against them.
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "game/snapshot.h"
#include "input/buttons.h"

#include <cstdarg>
#include <cstdio>

namespace {
char Said[96];

__attribute__((format(printf, 1, 2))) const char* Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    // The analyser takes the va_list, an array on this machine, for unset.
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
    std::vsnprintf(Said, sizeof Said, format, args);
    va_end(args);
    return Said;
}

bool KnownPhase(int32_t phase) {
    return (phase >= RESOLVE_LAND && phase <= RESOLVE_PAUSE2) || phase == RESOLVE_END;
}

// The well: arrows only, and every column packed down but while a landing
// resolves.
const char* WellFault(const GameCopy& g) {
    for (int32_t column = 0; column < BoardColumns; ++column) {
        bool filled = false;
        for (int32_t row = 0; row < BoardRows; ++row) {
            const uint8_t a = g.board.Cells[column * BoardRows + row];
            if (a > ARROW_LEFT) return Say("cell (%d, %d) holds %d", column, row, a);
            if (a != ARROW_NONE)
                filled = true;
            else if (filled && g.flow.Mode != MODE_RESOLVE)
                return Say("column %d has a gap at row %d in mode %d", column, row, g.flow.Mode);
        }
    }
    return nullptr;
}

// The falling pair and the next one, while a game goes on.
const char* PairFault(const GameCopy& g) {
    const FallingPairState& p = g.board.Pair;
    const uint8_t arrows[4] = {p.CurrentTop, p.CurrentBottom, p.NextTop, p.NextBottom};
    for (const uint8_t a : arrows)
        if (!IsArrow(a)) return Say("the pair or the next pair holds arrow %d", a);
    if (p.PairColumn < 0 || p.PairColumn >= BoardColumns || p.PairRow < 0 ||
        p.PairRow > BoardRows - 2)
        return Say("the pair is outside the well at (%d, %d)", p.PairColumn, p.PairRow);
    const bool shown = g.flow.Mode == MODE_PLAY || g.flow.ResolvePhase == RESOLVE_LAND;
    const int32_t at = p.PairColumn * BoardRows + p.PairRow;
    if (shown && (g.board.Cells[at] != ARROW_NONE || g.board.Cells[at + 1] != ARROW_NONE))
        return Say("the pair at (%d, %d) overlaps the well's arrows", p.PairColumn, p.PairRow);
    return nullptr;
}

// The counters and the panel, while a game goes on.
const char* CountFault(const GameCopy& g) {
    const BoardState& b = g.board;
    if (b.FallInterval < 1 || b.FallInterval > StartFallInterval)
        return Say("the fall interval is %u", b.FallInterval);
    if (b.FallCounter > b.FallInterval || b.PairsSinceSpeedUp >= PairsPerSpeedUp)
        return Say("the fall counts %u and %u are out of range", b.FallCounter,
                   b.PairsSinceSpeedUp);
    if (b.Score < 0) return Say("the score is negative: %d", b.Score);
    if (b.PanelScore < 0 || b.PanelScore > b.Score)
        return Say("the panel's score %d is out of range of the score %d", b.PanelScore, b.Score);
    const MatchState& m = g.match;
    for (const uint8_t lines : m.Map)
        if (lines > MaxLinesThroughCell) return Say("a cell is on %d lines", lines);
    if (m.PassPoints < 0 || m.ChainCount < 0 || m.ChainTotal < 0 || m.MessageTimer < 0 ||
        m.MessageTimer > MessageTicks)
        return Say("a chain's count or the message's time is out of range");
    // The message is a text the panel can show, ended within its box.
    for (int32_t i = 0;; ++i) {
        if (i == MessageSize) return Say("the message has no end");
        const auto c = static_cast<unsigned char>(m.Message[i]);
        if (c == 0) break;
        if (c < 0x20 || c > 0x7E) return Say("the message holds character %d", c);
    }
    const FlowState& f = g.flow;
    if (f.FallStep != 0 && f.FallStep != 1) return Say("the fall step is %d", f.FallStep);
    // The PAUSE bar is lit exactly while the fall stands.
    if (g.buttons.toggles[BUTTON_PAUSE] != 1 - f.FallStep)
        return Say("the PAUSE bar is %d while the fall step is %d", g.buttons.toggles[BUTTON_PAUSE],
                   f.FallStep);
    if (g.buttons.releasePending != 0 && g.buttons.releasePending != 1)
        return Say("a release pending of %d", g.buttons.releasePending);
    if (g.buttons.pendingButton < 0 || g.buttons.pendingButton >= ButtonCount)
        return Say("button %d is pending", g.buttons.pendingButton);
    if (f.Mode == MODE_PLAY && f.ResolvePhase != RESOLVE_LAND)
        return Say("play in resolve phase %d", f.ResolvePhase);
    if (f.Mode == MODE_RESOLVE && !KnownPhase(f.ResolvePhase))
        return Say("resolve phase %d", f.ResolvePhase);
    return nullptr;
}

const char* Fault(const GameCopy& g) {
    if (const char* fault = WellFault(g)) return fault;
    if (g.flow.Mode != MODE_PLAY && g.flow.Mode != MODE_RESOLVE) return nullptr;
    if (const char* fault = PairFault(g)) return fault;
    return CountFault(g);
}
} // namespace

const char* SavedGameFault(const GameCopy& g) {
    if (g.flow.Mode != MODE_PLAY && g.flow.Mode != MODE_RESOLVE)
        return Say("mode %d is no game in progress", g.flow.Mode);
    if (g.flow.GameOverTicks != 0 || g.flow.NextShown != 1)
        return Say("a game in progress with game over count %d", g.flow.GameOverTicks);
    return Fault(g);
}

const char* GameFault() {
    GameCopy g{};
    CopyGame(&g);
    if (g.flow.Mode < MODE_TITLE || g.flow.Mode > MODE_GAMEOVER) return Say("mode %d", g.flow.Mode);
    return Fault(g);
}
