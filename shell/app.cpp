// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/app.h"

#include "game/flow.h"
#include "game/report.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/bytes.h"
#include "platform/resources.h"
#include "render/buttons.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/cues.h"
#include "shell/options_dialog.h"
#include "shell/paint.h"
#include "shell/replays.h"
#include "shell/saved_game.h"
#include "shell/settings.h"
#include "shell/watch.h"

#include <cstring>

Window MainWindow;

namespace {
constexpr uint16_t AccelVirtualKey = 0x01;
constexpr uint16_t AccelAlt = 0x10;
constexpr uint16_t AccelLast = 0x80;
constexpr int32_t MaxAccelerators = 16;

struct Accelerator {
    uint16_t flags, key, command;
};

// The accelerator table, read from its resource once.
struct AcceleratorTable {
    bool loaded;
    int32_t count;
    Accelerator entries[MaxAccelerators];
};
AcceleratorTable Accelerators;

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

void OnCreate(Window window) {
    ConnectGameReport();
    if (!PlatformHasSmallIcon(window)) PlatformSetSmallIcon(window, ICON_GAME, 16);
    int32_t width = 0, height = 0;
    PlatformWindowSize(window, &width, &height);
    LayoutScreen(width, height);
    MainWindow = window;
    TakeOptionsRequest();
    EnterTitle();
    PlatformSetTimer(window, GameTimerId, TickMilliseconds);
    LayoutButtons();
    LoadSettings();
    ResetKeeping();
    // A replay asked for is watched instead of anything else.
    if (WatchBegin()) return;
    // A game kept from the last run is the first picture, paused.
    if (ResumeSavedGame()) {
        RecordFromHere();
        return;
    }
    // Otherwise the play screen is; the first tick puts the title over it.
    ClearPlayfield();
    DrawPlayfield();
}

// The window's new size is laid out afresh, landscape or portrait, and the
// game drawn again from its state; play goes on as it was.
void OnSize(Window window) {
    int32_t width = 0, height = 0;
    PlatformWindowSize(window, &width, &height);
    if (width <= 0 || height <= 0) return;
    if (width == Layout.WindowWidth && height == Layout.WindowHeight) return;
    ReleaseScreen();
    LayoutScreen(width, height);
    LayoutButtons();
    DrawGame();
    PlatformInvalidate(window);
}

// A pen or finger message's place in logical pixels (the window pixels
// come with x in the low 16 bits, y in the high).
void PenPlace(int32_t lParam, int32_t* x, int32_t* y) {
    const auto position = static_cast<uint32_t>(lParam);
    WindowToLogical(static_cast<int32_t>(position & 0xFFFFu), static_cast<int32_t>(position >> 16),
                    x, y);
}

// The settings and, at any end but the player's own quit, the game in
// progress are saved, and the program waits until they are on the disk.
// False when there was something to keep and none of it could be kept.
bool KeepEverything(bool ending) {
    PlatformFilesWait(); // the checkpoints still being written
    RecordProgramEnd(ending);
    // A replay being watched is no game of the player's, and its choices
    // are not the player's.
    const bool watching = Watching();
    const bool wanted = SettingsPath()[0] != 0 || (!watching && GameToKeepAtEnd());
    const int32_t asked = ((watching ? WatchSaveSettings() : SaveSettings()) ? 1 : 0) +
                          (!watching && KeepAtEnd() ? 1 : 0);
    const int32_t failed = PlatformFilesWait();
    return !wanted || asked > failed;
}

void OnDestroy(Window window) {
    const bool kept = KeepEverything(true);
    PlatformKillTimer(window, GameTimerId);
    PlayCue(CUE_STOP);
    ReleaseScreen();
    // An end the player did not choose (a signal, a logout) that could keep
    // nothing says so in its exit code, as the lines on standard error did.
    PlatformPostQuitMessage(kept || PlayerEnded() ? 0 : 1);
}
} // namespace

void ConnectGameReport() { SetGameReport(ScreenAndSound); }

void ConnectSilentReport() { SetGameReport(ScreenOnly); }

int32_t CreateMainWindow() {
    PlatformSetClassIcon(ICON_GAME);
    char title[100];
    LoadStringResource(STRING_TITLE, title, sizeof title);
    const Window window = PlatformCreateWindow(title, WindowProc);
    if (window == 0) return 0;
    PlatformShowWindow(window);
    PlatformUpdateWindow(window);
    return 1;
}

void LoadAccelerators() {
    Accelerators = AcceleratorTable{};
    Accelerators.loaded = true;
    const ResourceBytes table = FindResource(RES_ACCELERATOR, ACCELERATORS_GAME);
    // Entries of eight bytes: flags, key, command, padding; the last is flagged.
    for (size_t at = 0; at + 8 <= table.Size && Accelerators.count < MaxAccelerators; at += 8) {
        const uint8_t* e = table.Data + at;
        const uint16_t flags = ReadLe16(e);
        Accelerators.entries[Accelerators.count++] =
            Accelerator{flags, ReadLe16(e + 2), ReadLe16(e + 4)};
        if (flags & AccelLast) break;
    }
}

int32_t AppMain() {
    // Without a window the game has not run: the platform has said why, and
    // the exit code tells whoever started it.
    if (CreateMainWindow() == 0) return 1;
    LoadAccelerators();
    Message message{};
    while (PlatformGetMessage(&message)) {
        if (TranslateAccelerator(message)) continue;
        PlatformDispatchMessage(message);
    }
    return PlatformQuitCode();
}

bool TranslateAccelerator(const Message& m) {
    const bool virtualKey = m.message == MSG_KEYDOWN || m.message == MSG_SYSKEYDOWN;
    const bool character = m.message == MSG_CHAR || m.message == MSG_SYSCHAR;
    if (!virtualKey && !character) return false;
    const bool alt = m.message == MSG_SYSKEYDOWN || m.message == MSG_SYSCHAR;
    // A driver that skips AppMain (the headless runner) has it read here.
    if (!Accelerators.loaded) LoadAccelerators();
    for (int32_t i = 0; i < Accelerators.count; ++i) {
        const Accelerator& e = Accelerators.entries[i];
        const bool wantsVirtualKey = (e.flags & AccelVirtualKey) != 0;
        if (wantsVirtualKey == virtualKey && e.key == m.wParam &&
            ((e.flags & AccelAlt) != 0) == alt) {
            WindowProc(m.window, MSG_COMMAND, e.command | 0x10000u, 0);
            return true;
        }
    }
    return false;
}

int32_t WindowProc(Window window, uint32_t message, uint32_t wParam, int32_t lParam) {
    switch (message) {
    case MSG_CREATE: OnCreate(window); return 0;
    case MSG_DESTROY: OnDestroy(window); return 0;
    // The program may end without its window being destroyed (a browser
    // page hidden or closed, the display lost): the settings and the game
    // in progress are saved.
    case MSG_ENDSESSION: KeepEverything(false); return 0;
    // Out of sight, a game in play would go on unseen: it pauses (which
    // keeps it), and the player resumes it with Space.
    case MSG_SHOWWINDOW:
        if (Watching()) {
            if (wParam == 0) WatchHidden();
            return 0;
        }
        if (wParam == 0) {
            KeepBeforeTick();
            PausePlay();
            RecordPause();
            KeepAfterTick(0);
        }
        return 0;
    case MSG_PAINT: return PaintWindow(window);
    case MSG_SIZE: OnSize(window); return 0;
    case MSG_KEYDOWN:
        if (Watching()) {
            WatchKey(wParam);
            PlatformInvalidate(window);
            PlatformTimerSleep(window, GameTimerId, Watching() ? WatchIdleTicks() : 0);
        } else if ((lParam & KEY_FROM_TOUCH) != 0)
            OnTouchKeyDown(wParam);
        else
            OnKeyDown(wParam);
        return 0;
    // A key let go while Alt was held is let go all the same.
    case MSG_KEYUP:
    case MSG_SYSKEYUP:
        if (Watching()) return 0;
        if ((lParam & KEY_FROM_TOUCH) != 0)
            OnTouchKeyUp(wParam);
        else
            OnKeyUp(wParam);
        return 0;
    case MSG_COMMAND:
        if ((wParam & 0xFFFFu) == CMD_CLOSE) {
            PlatformDestroyWindow(window);
            return 0;
        }
        return PlatformDefaultWindowProc(window, message, wParam, lParam);
    case MSG_TIMER: TimerTicks(window, lParam); return 0;
    case MSG_PENDOWN:
    case MSG_MOUSEMOVE: {
        int32_t x = 0, y = 0;
        PenPlace(lParam, &x, &y);
        // Watching, a tap on a button is its key.
        if (Watching()) {
            const uint16_t key = message == MSG_PENDOWN ? ButtonKeyAt(x, y) : 0;
            if (key == 0) return 0;
            WatchKey(key);
            PlatformInvalidate(window);
            PlatformTimerSleep(window, GameTimerId, Watching() ? WatchIdleTicks() : 0);
            return 0;
        }
        if (message == MSG_PENDOWN)
            OnFingerDown(PenFinger(wParam), x, y);
        else
            OnFingerMove(PenFinger(wParam), x, y);
        return 0;
    }
    case MSG_PENUP:
        if (!Watching()) OnFingerUp(PenFinger(wParam));
        return 0;
    default: return PlatformDefaultWindowProc(window, message, wParam, lParam);
    }
}

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
        OnSize(window);
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
