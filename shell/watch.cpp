// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/watch.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/replay.h"
#include "game/report.h"
#include "game/snapshot.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "render/draw.h"
#include "shell/app.h"
#include "shell/replays.h"
#include "shell/saved_game.h"
#include "shell/settings.h"

#include <cstdio>
#include <cstring>

namespace {
// Places to step back to: the game and the replay's place, every so many
// ticks; when they run out, every other one goes and they come half as
// often.
constexpr int32_t MaxMarks = 512;
constexpr uint32_t FirstMarkEvery = 50;
constexpr int32_t FastestSpeed = 8;
// However long a pause in the game, on to the next pair stops after this.
constexpr uint32_t MostTicksToAPair = 20000;

struct Mark {
    uint32_t tick;
    GameCopy game;
    ReplayPlace place;
};

struct WatchState {
    bool asked; // a replay to watch was given
    char code[ReplayMaxText + 256];
    size_t length;
    bool watching, paused, atEnd;
    int32_t speed;
    uint32_t markEvery;
    int32_t markCount;
    Mark marks[MaxMarks];
    // The player's own, put back when watching ends.
    int32_t sound, hidden, high, repeat[4];
    char status[96];
};
WatchState Watch;

void SayStatus() {
    char text[sizeof Watch.status];
    const uint32_t played = ReplayPlayed(), length = ReplayLength();
    const auto seconds = [](uint32_t ticks) { return ticks * TickMilliseconds / 1000; };
    std::snprintf(text, sizeof text, "%s x%d  %u:%02u / %u:%02u",
                  Watch.atEnd    ? "the end"
                  : Watch.paused ? "paused"
                                 : "watching",
                  static_cast<int>(Watch.speed), seconds(played) / 60, seconds(played) % 60,
                  seconds(length) / 60, seconds(length) % 60);
    if (std::strcmp(text, Watch.status) == 0) return;
    std::memcpy(Watch.status, text, sizeof text);
    PlatformShowStatus(MainWindow, Watch.status);
}

void AddMark() {
    if (Watch.markCount == MaxMarks) {
        // Half of them go, and they come half as often.
        int32_t kept = 0;
        for (int32_t i = 0; i < Watch.markCount; i += 2) Watch.marks[kept++] = Watch.marks[i];
        Watch.markCount = kept;
        Watch.markEvery *= 2;
    }
    Mark& m = Watch.marks[Watch.markCount++];
    m.tick = ReplayPlayed();
    CopyGame(&m.game);
    ReplayTell(&m.place);
}

// One tick of the replay; false at its end.
bool Advance() {
    const uint32_t played = ReplayPlayed();
    if (played % Watch.markEvery == 0 &&
        (Watch.markCount == 0 || Watch.marks[Watch.markCount - 1].tick < played))
        AddMark();
    if (!ReplayStep()) {
        Watch.atEnd = true;
        Watch.paused = true;
        return false;
    }
    GameTick();
    // The Options dialog the replay's player opened is its answer, which
    // the replay holds.
    TakeOptionsRequest();
    return true;
}

// To tick `target` of the replay, from the last mark before it, without a
// sound or a picture on the way; then the picture afresh.
void GoTo(uint32_t target) {
    int32_t i = Watch.markCount - 1;
    while (i > 0 && Watch.marks[i].tick > target) --i;
    if (i < 0 || Watch.marks[i].tick > target) {
        ReplayRewind();
    } else {
        RestoreGame(Watch.marks[i].game);
        ReplaySeek(Watch.marks[i].place);
    }
    SetGameReport(GameReport{});
    while (ReplayPlayed() < target && Advance()) {
    }
    ConnectGameReport();
    Watch.atEnd = false;
    DrawGame();
}

// On until the next pair is dealt, the game ends, or the replay does.
void ToNextPair() {
    ConnectSilentReport();
    for (uint32_t n = 0; n < MostTicksToAPair; ++n) {
        const int32_t before = Flow.Mode;
        if (!Advance()) break;
        if ((before == MODE_RESOLVE && Flow.Mode == MODE_PLAY) || Flow.Mode == MODE_GAMEOVER) break;
    }
    ConnectGameReport();
}

void PutOwnBack() {
    SetToggle(BUTTON_SOUND, Watch.sound);
    SetToggle(BUTTON_HIDDEN, Watch.hidden);
    SetKeyRepeat(Watch.repeat);
    SetHighScore(Watch.high);
}

// The game as it stands becomes the player's, paused as a kept game comes
// back, with its own replay from here.
void PlayOn() {
    if (!GameInProgress()) return;
    Watch.watching = false;
    ConnectGameReport();
    SetHighScore(Watch.high);
    SetToggle(BUTTON_HIDDEN, Watch.hidden);
    ResetInputState();
    ResumeGame();
    DrawGame();
    PlatformShowStatus(MainWindow, "");
    RecordFromHere();
    SaveGame();
}
} // namespace

void SetWatchCode(const char* text, size_t length) {
    Watch.asked = text != nullptr && length < sizeof Watch.code;
    if (!Watch.asked) return;
    std::memcpy(Watch.code, text, length);
    Watch.code[length] = 0;
    Watch.length = length;
}

bool WatchBegin() {
    if (!Watch.asked) return false;
    Watch.asked = false;
    const int32_t loaded = ReplayLoad(Watch.code, Watch.length);
    if (loaded != REPLAY_LOADED) {
        std::fprintf(stderr, "vantle: nothing to watch: %s\n", ReplayLoadProblem(loaded));
        std::fflush(stderr);
        return false;
    }
    Watch.sound = Buttons.Table[BUTTON_SOUND].state;
    Watch.hidden = Buttons.Table[BUTTON_HIDDEN].state;
    Watch.high = Board.HighScore;
    std::memcpy(Watch.repeat, Flow.KeyRepeat, sizeof Watch.repeat);
    Watch.watching = true;
    Watch.paused = Watch.atEnd = false;
    Watch.speed = 1;
    Watch.markEvery = FirstMarkEvery;
    Watch.markCount = 0;
    Watch.status[0] = 0;
    ReplayRewind();
    DrawGame();
    SayStatus();
    return true;
}

bool Watching() { return Watch.watching; }

void WatchKey(uint32_t key) {
    if (!Watch.watching) return;
    switch (key) {
    case VK_SPACE:
        if (Watch.atEnd) GoTo(0);
        Watch.paused = !Watch.paused;
        break;
    case VK_RIGHT:
        Watch.paused = true;
        ConnectSilentReport();
        Advance();
        ConnectGameReport();
        break;
    case VK_LEFT:
        Watch.paused = true;
        if (ReplayPlayed() > 0) GoTo(ReplayPlayed() - 1);
        break;
    case VK_DOWN:
        Watch.paused = true;
        ToNextPair();
        break;
    case VK_UP:
    case VK_OEM_PLUS:
    case VK_ADD:
        if (Watch.speed < FastestSpeed) Watch.speed *= 2;
        break;
    case VK_S:
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
        if (Watch.speed > 1) Watch.speed /= 2;
        break;
    case VK_HOME:
    case VK_O:
        Watch.paused = true;
        GoTo(0);
        break;
    case VK_RETURN: PlayOn(); return;
    case VK_ESCAPE: PlatformDestroyWindow(MainWindow); return;
    default: return;
    }
    SayStatus();
}

bool WatchTick() {
    if (!Watch.watching || Watch.paused) return false;
    // Faster than the game, the replay is silent.
    if (Watch.speed > 1) ConnectSilentReport();
    bool changed = false;
    for (int32_t i = 0; i < Watch.speed && Advance(); ++i) changed = true;
    if (Watch.speed > 1) ConnectGameReport();
    SayStatus();
    return changed || Watch.atEnd;
}

int32_t WatchIdleTicks() { return Watch.paused || Watch.atEnd ? IDLE_UNTIL_INPUT : 0; }

void WatchHidden() {
    if (!Watch.watching) return;
    Watch.paused = true;
    SayStatus();
}

bool WatchSaveSettings() {
    const int32_t sound = Buttons.Table[BUTTON_SOUND].state;
    const int32_t hidden = Buttons.Table[BUTTON_HIDDEN].state;
    const int32_t high = Board.HighScore;
    int32_t repeat[4];
    std::memcpy(repeat, Flow.KeyRepeat, sizeof repeat);
    PutOwnBack();
    const bool saved = SaveSettings();
    SetToggle(BUTTON_SOUND, sound);
    SetToggle(BUTTON_HIDDEN, hidden);
    SetHighScore(high);
    SetKeyRepeat(repeat);
    return saved;
}
