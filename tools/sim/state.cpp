// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/headless/headless.h"
#include "render/draw.h"
#include "render/layout.h"
#include "tools/sim/run.h"

#include <charconv>
#include <cstring>

namespace {
// The cue each recorded sound stands for.
int32_t CueOf(const char* name) {
    if (name[0] == 0) return 0;
    if (std::strcmp(name, "WAVE3") == 0) return 1;
    if (std::strcmp(name, "WAVE1") == 0) return 2;
    if (std::strcmp(name, "WAVE2") == 0) return 3;
    return -1;
}

void WriteString(FILE* out, const char* s) {
    std::fputc('"', out);
    for (; *s != 0; ++s) {
        const auto c = static_cast<unsigned char>(*s);
        if (c == '"' || c == '\\')
            std::fprintf(out, "\\%c", c);
        else if (c < 0x20 || c >= 0x7F)
            std::fprintf(out, "\\u%04x", c);
        else
            std::fputc(c, out);
    }
    std::fputc('"', out);
}

void WriteDouble(FILE* out, double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    std::fwrite(buffer, 1, static_cast<size_t>(r.ptr - buffer), out);
}
} // namespace

void WriteState(FILE* out, uint64_t ticks) {
    std::fprintf(out, "{\"tick\":%llu,\"mode\":%d,\"board\":[",
                 static_cast<unsigned long long>(ticks), Flow.Mode);
    for (int32_t row = 0; row < BoardRows; ++row) {
        char line[BoardColumns + 1];
        for (int32_t col = 0; col < BoardColumns; ++col)
            line[col] = static_cast<char>('0' + BoardCell(col, row) % 10);
        line[BoardColumns] = 0;
        std::fprintf(out, "%s\"%s\"", row == 0 ? "" : ",", line);
    }
    std::fprintf(out, "],\"pair\":[%d,%d,%d,%d],\"next\":[%d,%d]", Board.Pair.PairColumn,
                 Board.Pair.PairRow, Board.Pair.CurrentTop, Board.Pair.CurrentBottom,
                 Board.Pair.NextTop, Board.Pair.NextBottom);
    std::fprintf(out,
                 ",\"score\":%d,\"high\":%d,\"fallInterval\":%u,\"fallCounter\":%u,\"fallStep\":%d,"
                 "\"pairsSinceSpeedUp\":%u,\"resolvePhase\":%d,\"gameOverTicks\":%d,"
                 "\"chainCount\":%d,\"chainTotal\":%d,\"messageTimer\":%d,\"message\":",
                 Board.Score, Board.HighScore, Board.FallInterval, Board.FallCounter, Flow.FallStep,
                 Board.PairsSinceSpeedUp, Flow.ResolvePhase, Flow.GameOverTicks, Match.ChainCount,
                 Match.ChainTotal, Match.MessageTimer);
    WriteString(out, Match.Message);
    std::fputs(",\"buttons\":[", out);
    for (int32_t i = 0; i < ButtonCount; ++i)
        std::fprintf(out, "%s%d", i == 0 ? "" : ",", Buttons.Table[i].state);
    std::fprintf(out, "],\"releasePending\":%d,\"pendingButton\":%d,\"keyRepeat\":[%d,%d,%d,%d]",
                 Buttons.ReleasePending, Buttons.PendingButton, Flow.KeyRepeat[0],
                 Flow.KeyRepeat[1], Flow.KeyRepeat[2], Flow.KeyRepeat[3]);
    std::fprintf(out, ",\"held\":%u,\"pressed\":%u,\"newChar\":%u,\"cues\":[", InputState.HeldKeys,
                 InputState.PressedKeys, InputState.NewChar);
    HeadlessSound sounds[64];
    bool first = true;
    for (int32_t n; (n = HeadlessTakeSounds(sounds, 64)) > 0;) {
        for (int32_t i = 0; i < n; ++i) {
            std::fprintf(out, "%s%d", first ? "" : ",", CueOf(sounds[i].name));
            first = false;
        }
    }
    std::fputs("],\"layout\":{\"scale\":", out);
    WriteDouble(out, Layout.Scale);
    std::fprintf(out,
                 ",\"logicalWidth\":%d,\"logicalHeight\":%d,\"areaX\":%d,\"panelX\":%d,"
                 "\"buttonsY\":%d,\"cellSize\":%d}}\n",
                 Layout.LogicalWidth, Layout.LogicalHeight, Layout.AreaX, Layout.PanelX,
                 Layout.ButtonsY, Layout.CellSize);
    std::fflush(out);
}
