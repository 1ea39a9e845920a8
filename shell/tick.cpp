// SPDX-License-Identifier: GPL-3.0-or-later
// The timer's tick: the input latched, the rules' step with what is kept of
// it, the Options dialog when the tick asked for it, a repaint when the rules
// drew anything, and how long the loop may sleep. The rules' report table is
// filled here with the drawing and the cues.
#include "shell/app.h"

#include "game/flow.h"
#include "game/report.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "render/buttons.h"
#include "render/draw.h"
#include "shell/cues.h"
#include "shell/options_dialog.h"
#include "shell/replays.h"
#include "shell/saved_game.h"
#include "shell/watch.h"

#include <cstring>

namespace {
// Whether the rules have drawn anything since the window was last asked to
// repaint after a tick: a tick that drew nothing asks for no repaint.
struct ScreenChange {
    bool drawn;
};
ScreenChange Screen{true};

// A drawing routine, noting that the back buffer changed.
template <auto Draw> struct Drawing {
    template <typename... Args> static void Report(Args... args) {
        Screen.drawn = true;
        Draw(args...);
    }
};

// What the rules change is drawn into the back buffer at once, and their
// cues are played.
constexpr GameReport ScreenAndSound{
    Drawing<DrawPlayfield>::Report,
    Drawing<DrawTitleScreen>::Report,
    Drawing<DrawOrEraseCell>::Report,
    Drawing<DrawPair>::Report,
    Drawing<ErasePair>::Report,
    Drawing<DrawNextPair>::Report,
    Drawing<DrawScore>::Report,
    Drawing<DrawHighScore>::Report,
    Drawing<DrawMessage>::Report,
    Drawing<DrawButton>::Report,
    PlayCue,
};

// The drawing alone, for a replay played faster than the game.
constexpr GameReport ScreenOnly = [] {
    GameReport r = ScreenAndSound;
    r.Sound = nullptr;
    return r;
}();
} // namespace

void ConnectGameReport() { SetGameReport(ScreenAndSound); }

void ConnectSilentReport() { SetGameReport(ScreenOnly); }

namespace {
// One tick of the game: false when it ended the program (the window and
// its surfaces are gone).
bool RunTick(Window window) {
    LatchInput();
    RecordBeforeTick();
    KeepBeforeTick();
    const int32_t result = GameTick();
    KeepAfterTick(result);
    RecordAfterTick(result);
    if (result != 0) {
        PlatformDestroyWindow(window);
        return false;
    }
    // The screen stays lit while a game is played, not while it waits.
    const bool playing = Flow.Mode == MODE_PLAY || Flow.Mode == MODE_RESOLVE;
    PlatformKeepAwake(window, playing && Flow.FallStep != 0);
    return true;
}
} // namespace

void TimerTicks(Window window, int32_t slept) {
    if (Watching()) {
        bool changed = false;
        for (int32_t i = 0; i <= slept && Watching(); ++i) changed = WatchTick() || changed;
        if (changed) PlatformInvalidate(window);
        PlatformTimerSleep(window, GameTimerId, WatchIdleTicks());
        return;
    }
    // Ticks the loop slept through, at last: the rules said they would
    // change nothing on the screen, so they are run one after another now,
    // and the tick that is due after them.
    for (int32_t i = 0; i < slept; ++i)
        if (!RunTick(window)) return;
    TimerTick(window);
}

void TimerTick(Window window) {
    if (!RunTick(window)) return;
    if (TakeOptionsRequest()) {
        PlatformKillTimer(window, GameTimerId);
        int32_t choices[4];
        std::memcpy(choices, Flow.KeyRepeat, sizeof choices);
        RunOptionsDialog(window);
        RecordOptions(choices);
        PlatformSetTimer(window, GameTimerId, TickMilliseconds);
        ForgetCurrentKey();
        // A change of size while the dialog was open is laid out now.
        FitWindow(window);
        Screen.drawn = true;
    }
    // The new picture is shown; a tick that changed nothing leaves the one
    // on the screen, which is the same.
    if (Screen.drawn) {
        Screen.drawn = false;
        PlatformInvalidate(window);
    }
    // Until the next tick that can change anything, the loop may sleep.
    PlatformTimerSleep(window, GameTimerId, IdleTicksAhead());
}
