// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/replays.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/replay.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "shell/app.h"

#include <cstdio>
#include <cstring>

namespace {
struct ReplayKeeping {
    char folder[FilePathSize]; // empty: nothing kept
    int32_t modeBefore;        // as the tick found it
    bool cutSaid;              // the replay's running out of room was said
};
ReplayKeeping Replays{{}, MODE_TITLE, false};

// The replay's code as one line of text, into the file `name` of the folder.
void Keep(const char* name) {
    if (Replays.folder[0] == 0) return;
    static char text[ReplayMaxText + 1];
    const int32_t n = ReplayCode(text, ReplayMaxText);
    if (n <= 0) return;
    text[n] = '\n';
    char path[FilePathSize];
    if (std::snprintf(path, sizeof path, "%s%s", Replays.folder, name) >=
        static_cast<int>(sizeof path))
        return;
    FileTarget target;
    if (!FileFindTarget(path, &target)) {
        FileReport(path, false, target.error);
        return;
    }
    PlatformFileReplace(target, reinterpret_cast<const uint8_t*>(text), n + 1);
}

// A recording that ran out of room keeps what fits, and the player is told.
void SayIfCut() {
    if (!ReplayRecordCut() || Replays.cutSaid) return;
    Replays.cutSaid = true;
    std::fputs("vantle: this game is too long for its replay: the replay keeps its first "
               "part, up to now\n",
               stderr);
    std::fflush(stderr);
}

void End() {
    ReplayRecordEnd();
    SayIfCut();
    Keep(LastReplayFileName);
    if (Board.HighScore > ReplayRecordHighAtStart()) Keep(BestReplayFileName);
    // The game just ended, offered to watch again and to share.
    static char text[ReplayMaxText];
    if (ReplayCode(text, sizeof text) > 0) PlatformOfferReplay(MainWindow, text);
}
} // namespace

void SetReplayFolder(const char* folder) {
    if (!CopyText(Replays.folder, folder)) Replays.folder[0] = 0;
}

void RecordBeforeTick() {
    Replays.modeBefore = Flow.Mode;
    ReplayRecordTick();
}

void RecordAfterTick(int32_t result) {
    const int32_t before = Replays.modeBefore;
    const bool running = ReplayRecording();
    if (running && (result != 0 || (before != MODE_TITLE && Flow.Mode == MODE_TITLE))) {
        End();
        return;
    }
    if (before == MODE_TITLE && Flow.Mode == MODE_PLAY) RecordFromHere();
    // Out of room: what fits is kept now.
    if (!running && ReplayRecordCut() && !Replays.cutSaid) End();
}

void RecordFromHere() {
    Replays.cutSaid = false;
    ReplayRecordStart();
    PlatformOfferReplay(MainWindow, "");
}

void RecordOptions(const int32_t before[4]) {
    if (std::memcmp(before, Flow.KeyRepeat, sizeof Flow.KeyRepeat) != 0) ReplayRecordOptions();
}

void RecordPause() { ReplayRecordPause(); }

void RecordProgramEnd(bool ending) {
    if (!ReplayRecording()) return;
    if (ending) {
        End();
        return;
    }
    Keep(LastReplayFileName);
}
