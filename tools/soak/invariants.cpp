// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/soak/invariants.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "game/snapshot.h"
#include "input/buttons.h"
#include "platform/headless/headless.h"
#include "shell/settings.h"

#include <cstdarg>
#include <cstdio>

namespace {
void Fail(SoakWatch& w, const char* format, ...) {
    if (w.failedAt != 0) return; // the first one is what matters
    w.failedAt = w.tick == 0 ? 1 : w.tick;
    va_list args;
    va_start(args, format);
    // The analyser takes the va_list, an array on this machine, for unset.
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
    std::vsnprintf(w.failure, sizeof w.failure, format, args);
    va_end(args);
}

// The rules' own (the well, the pair, the counters: game/faults.cpp, which
// a saved game is held to as well), and no line counts left between passes.
void CheckRules(SoakWatch& w) {
    if (const char* fault = GameFault()) Fail(w, "%s", fault);
    for (int32_t i = 0; i < BoardCells; ++i)
        if (Match.Map[i] != 0)
            Fail(w, "line count %d left at cell (%d, %d)", Match.Map[i], i / BoardRows,
                 i % BoardRows);
}

void CheckScore(SoakWatch& w, int32_t mode) {
    if (Board.Score < 0) Fail(w, "the score is negative: %d", Board.Score);
    if (w.prevMode == MODE_TITLE && mode == MODE_PLAY) {
        ++w.games;
        if (Board.Score != 0) Fail(w, "a new game starts with score %d", Board.Score);
    } else if (Board.Score < w.prevScore) {
        Fail(w, "the score fell from %d to %d", w.prevScore, Board.Score);
    }
    // A resolve sequence ends by showing the score and the high score.
    if (w.prevMode == MODE_RESOLVE && mode != MODE_RESOLVE && Board.HighScore < Board.Score)
        Fail(w, "the high score %d is below the score %d after a landing", Board.HighScore,
             Board.Score);
    if (Board.HighScore < w.prevHigh)
        Fail(w, "the high score fell from %d to %d", w.prevHigh, Board.HighScore);
}

void CheckSound(SoakWatch& w) {
    HeadlessSound sounds[64];
    int32_t heard = 0;
    for (int32_t n; (n = HeadlessTakeSounds(sounds, 64)) > 0;) heard += n;
    w.cues += static_cast<uint64_t>(heard);
    // Only state 1 is on; the switch flips at most once a tick.
    const int32_t after = Buttons.Table[BUTTON_SOUND].state;
    if (w.soundBefore != 1 && after != 1) {
        ++w.silentTicks;
        if (heard > 0)
            Fail(w, "%d cue(s) played with the sound switch off (state %d)", heard, after);
    }
    w.soundBefore = after;
}
} // namespace

void StartWatch(SoakWatch& w, int32_t sound, int32_t highScore) {
    w.sessionTick = 0;
    w.prevMode = MODE_TITLE;
    w.prevScore = 0;
    w.prevHigh = highScore;
    w.soundBefore = sound;
}

void CheckTick(void* context) {
    SoakWatch& w = *static_cast<SoakWatch*>(context);
    ++w.tick;
    ++w.sessionTick;
    const int32_t mode = Flow.Mode;
    if (mode < MODE_TITLE || mode > MODE_GAMEOVER) {
        Fail(w, "mode %d", mode);
        return;
    }
    ++w.modeTicks[mode];
    CheckRules(w);
    CheckScore(w, mode);
    CheckSound(w);
    if (mode == MODE_RESOLVE && Flow.ResolvePhase == RESOLVE_PAUSE1) {
        ++w.scoringPasses;
        if (Match.ChainCount > w.longestChain) w.longestChain = Match.ChainCount;
    }
    if (Board.Score > w.bestScore) w.bestScore = Board.Score;
    w.prevMode = mode;
    w.prevScore = Board.Score;
    w.prevHigh = Board.HighScore;
}

void CheckClose(SoakWatch& w, const char* settingsPath) {
    HeadlessSound sounds[64];
    int32_t heard = 0;
    for (int32_t n; (n = HeadlessTakeSounds(sounds, 64)) > 0;) heard += n;
    if (heard > 0 && Buttons.Table[BUTTON_SOUND].state != 1)
        Fail(w, "%d cue(s) played at the close with the sound switch off", heard);

    uint8_t bytes[SettingsFileSize + 1];
    size_t n = 0;
    if (FILE* f = std::fopen(settingsPath, "rb")) {
        n = std::fread(bytes, 1, sizeof bytes, f);
        std::fclose(f);
    }
    SettingsValues v{};
    if (n != SettingsFileSize || !DecodeSettings(bytes, n, &v)) {
        Fail(w, "the settings file is not whole after the close (%zu bytes)", n);
        return;
    }
    if (v.Sound != Buttons.Table[BUTTON_SOUND].state || v.HighScore != Board.HighScore ||
        v.KeyRepeat[0] != Flow.KeyRepeat[0] || v.KeyRepeat[1] != Flow.KeyRepeat[1] ||
        v.KeyRepeat[2] != Flow.KeyRepeat[2] || v.KeyRepeat[3] != Flow.KeyRepeat[3] ||
        v.Hidden != Buttons.Table[BUTTON_HIDDEN].state)
        Fail(w, "the settings file does not hold what the game held at the close");
}
