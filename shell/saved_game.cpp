// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/saved_game.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/snapshot.h"
#include "platform/base64.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "render/draw.h"
#include "shell/app.h"
#include "shell/settings.h"

#include <cstdio>
#include <cstring>

namespace {
struct KeepingState {
    char path[FilePathSize]; // empty: no saved game
    int32_t modeBefore;      // the mode and the fall as the tick found them
    int32_t fallStepBefore;
    int32_t highKept;   // the high score the settings were last saved with (or read)
    bool playerQuit;    // the player ended the game: nothing is kept
    bool continueGiven; // a game brought from elsewhere, to play on
    uint8_t continued[SnapshotSize];
    bool offered; // the paused game is offered to be taken elsewhere
};
KeepingState Keeping{{}, MODE_TITLE, 1, 0, false, false, {}, false};

// A game taken back goes on paused; its panel's score has been paid, and
// so counts towards the record even if the settings were never saved with
// it (a crash): it is saved on the next tick.
void TakeBack() {
    ResumeGame();
    if (Board.PanelScore > Board.HighScore) SetHighScore(Board.PanelScore);
    DrawGame();
}

// A new pair dealt, or play just paused: the moments a checkpoint is made.
// The game in progress, while it is paused, offered to be taken elsewhere
// (its saved form as a code); withdrawn when play goes on or ends.
void OfferGame() {
    const bool paused = GameInProgress() && Flow.FallStep == 0 && Flow.Mode == MODE_PLAY;
    if (paused == Keeping.offered) return;
    Keeping.offered = paused;
    uint8_t bytes[SnapshotSize];
    char code[Base64Length(SnapshotSize) + 1] = "";
    if (paused && EncodeGame(bytes) == SnapshotSize)
        Base64Encode(bytes, sizeof bytes, code, sizeof code);
    PlatformOfferGame(MainWindow, code);
}

bool Checkpoint(int32_t modeBefore, int32_t fallStepBefore) {
    if (Flow.Mode != MODE_PLAY) return false;
    if (modeBefore == MODE_RESOLVE || modeBefore == MODE_TITLE) return true;
    return modeBefore == MODE_PLAY && fallStepBefore != 0 && Flow.FallStep == 0;
}
} // namespace

void SetGamePath(const char* path) {
    // A name too long to hold is no better than none: never a file elsewhere.
    if (!CopyText(Keeping.path, path)) Keeping.path[0] = 0;
}

void ResetKeeping() {
    Keeping.modeBefore = MODE_TITLE;
    Keeping.fallStepBefore = 1;
    Keeping.highKept = Board.HighScore;
    Keeping.playerQuit = false;
}

void SetGameToContinue(const uint8_t* bytes) {
    std::memcpy(Keeping.continued, bytes, sizeof Keeping.continued);
    Keeping.continueGiven = true;
}

bool ResumeSavedGame() {
    Keeping.highKept = Board.HighScore;
    if (Keeping.continueGiven) {
        Keeping.continueGiven = false;
        if (DecodeGame(Keeping.continued, sizeof Keeping.continued)) {
            TakeBack();
            SaveGame();
            return true;
        }
    }
    if (Keeping.path[0] == 0) return false;
    // A kept game is offered only if it can be thrown away once the player
    // ends it: one that cannot (made read-only, in a read-only folder) would
    // come back at every start however it ended.
    int32_t error = 0;
    if (!FileRemovable(Keeping.path, &error)) {
        if (error != 0)
            std::fprintf(stderr,
                         "vantle: the game kept in %s cannot be removed (%s); it is not "
                         "offered\n",
                         Keeping.path, FileErrorText(error));
        std::fflush(stderr);
        return false;
    }
    uint8_t bytes[SnapshotSize + 1];
    // One byte more than a saved game: a longer file is no saved game.
    const int32_t n = FileRead(Keeping.path, bytes, sizeof bytes);
    if (n < 0 || !DecodeGame(bytes, static_cast<size_t>(n))) return false;
    TakeBack();
    return true;
}

bool SaveGame() {
    if (Keeping.path[0] == 0) return false;
    uint8_t bytes[SnapshotSize];
    const int32_t size = EncodeGame(bytes);
    if (size == 0) return false;
    // Written whole beside the old file and renamed over it, as the
    // settings are: a crash or a power cut leaves one game or the other.
    FileTarget target;
    if (!FileFindTarget(Keeping.path, &target)) {
        FileReport(Keeping.path, false, target.error);
        return false;
    }
    return PlatformFileReplace(target, bytes, size);
}

void DiscardGame() {
    if (Keeping.path[0] == 0) return;
    PlatformFileRemove(Keeping.path);
}

void KeepBeforeTick() {
    Keeping.modeBefore = Flow.Mode;
    Keeping.fallStepBefore = Flow.FallStep;
}

void KeepAfterTick(int32_t result) {
    const int32_t before = Keeping.modeBefore;
    if (result != 0) {
        // Escape or the quit button: in play that ends the game, which is
        // then not kept; on the title or at game over there is none.
        Keeping.playerQuit = true;
        if (before == MODE_PLAY) DiscardGame();
        return;
    }
    // A new record is saved at once, ahead of anything it could be lost
    // with: the checkpoint of the pair dealt on the same tick, or the end of
    // the game, which throws the kept game away. Once asked, it is not
    // asked again until the record rises again, whatever came of it.
    if (Board.HighScore > Keeping.highKept) {
        Keeping.highKept = Board.HighScore;
        SaveSettings();
    }
    if (before != MODE_GAMEOVER && Flow.Mode == MODE_GAMEOVER) {
        // The game has ended: there is nothing to come back to.
        DiscardGame();
        return;
    }
    if (Checkpoint(before, Keeping.fallStepBefore)) SaveGame();
    OfferGame();
}

bool GameToKeepAtEnd() { return !Keeping.playerQuit && Keeping.path[0] != 0 && GameInProgress(); }

bool KeepAtEnd() { return GameToKeepAtEnd() && SaveGame(); }

bool PlayerEnded() { return Keeping.playerQuit; }
