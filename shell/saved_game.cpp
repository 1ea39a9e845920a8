// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/saved_game.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/snapshot.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "render/draw.h"
#include "shell/settings.h"

namespace {
struct KeepingState {
    char path[FilePathSize]; // empty: no saved game
    int32_t modeBefore;      // the mode and the fall as the tick found them
    int32_t fallStepBefore;
    int32_t highBefore; // the high score when the game began
    bool playerQuit;    // the player ended the game: nothing is kept
    bool recordDue;     // a game ended with a new record, to be saved next tick
};
KeepingState Keeping{{}, MODE_TITLE, 1, 0, false, false};

// A new pair dealt, or play just paused: the moments a checkpoint is made.
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

const char* GamePath() { return Keeping.path; }

void ResetKeeping() {
    Keeping.modeBefore = MODE_TITLE;
    Keeping.fallStepBefore = 1;
    Keeping.highBefore = 0;
    Keeping.playerQuit = false;
    Keeping.recordDue = false;
}

bool ResumeSavedGame() {
    Keeping.highBefore = Board.HighScore;
    if (Keeping.path[0] == 0) return false;
    uint8_t bytes[SnapshotSize + 1];
    // One byte more than a saved game: a longer file is no saved game.
    const int32_t n = FileRead(Keeping.path, bytes, sizeof bytes);
    if (n < 0 || !DecodeGame(bytes, static_cast<size_t>(n))) return false;
    ResumeGame();
    DrawGame();
    return true;
}

bool SaveGame() {
    if (Keeping.path[0] == 0) return false;
    uint8_t bytes[SnapshotSize];
    const int32_t size = EncodeGame(bytes);
    if (size == 0) return false;
    // Written whole beside the old file and renamed over it, as the
    // settings are: a crash or a power cut leaves one game or the other.
    const bool saved = FileSave(Keeping.path, bytes, size);
    PlatformFileStored(Keeping.path);
    return saved;
}

void DiscardGame() {
    if (Keeping.path[0] == 0) return;
    FileRemove(Keeping.path);
    PlatformFileStored(Keeping.path);
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
    if (before == MODE_TITLE && Flow.Mode == MODE_PLAY) Keeping.highBefore = Board.HighScore;
    if (Keeping.recordDue) {
        // A new record is saved now rather than when the program ends: on
        // the tick after the game's end, so that no tick waits for two
        // saves.
        Keeping.recordDue = false;
        SaveSettings();
    }
    if (before != MODE_GAMEOVER && Flow.Mode == MODE_GAMEOVER) {
        // The game has ended: there is nothing to come back to.
        DiscardGame();
        if (Board.HighScore > Keeping.highBefore) {
            Keeping.recordDue = true;
            Keeping.highBefore = Board.HighScore;
        }
        return;
    }
    if (Checkpoint(before, Keeping.fallStepBefore)) SaveGame();
}

void KeepAtEnd() {
    if (!Keeping.playerQuit && GameInProgress()) SaveGame();
}
