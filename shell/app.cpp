// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/app.h"

#include "game/flow.h"
#include "game/report.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/resources.h"
#include "render/buttons.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/paint.h"
#include "shell/replays.h"
#include "shell/saved_game.h"
#include "shell/settings.h"
#include "shell/watch.h"

Window MainWindow;

namespace {
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

} // namespace

void FitWindow(Window window) {
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

namespace {
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
    // A sound still playing stops, as the rules ask for sounds: only with
    // the sound switch on.
    PlaySound(CUE_STOP);
    ReleaseScreen();
    // An end the player did not choose (a signal, a logout) that could keep
    // nothing says so in its exit code, as the lines on standard error did.
    PlatformPostQuit(kept || PlayerEnded() ? 0 : 1);
}
} // namespace

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

int32_t AppMain() {
    // Without a window the game has not run: the platform has said why, and
    // the exit code tells whoever started it.
    if (CreateMainWindow() == 0) return 1;
    LoadAccelerators();
    Event event{};
    while (PlatformGetEvent(&event)) {
        if (TranslateAccelerator(event)) continue;
        PlatformDispatchEvent(event);
    }
    return PlatformQuitCode();
}

namespace {
// A key, or a tap on one of the panel's buttons, works the replay watched:
// what it changed is shown, and the loop sleeps as watching wants.
void WatchInput(Window window, uint32_t key) {
    WatchKey(key);
    PlatformInvalidate(window);
    PlatformTimerSleep(window, GameTimerId, Watching() ? WatchIdleTicks() : 0);
}

void OnKeyEvent(Window window, const Event& e) {
    const bool down = e.kind == EVENT_KEY_DOWN;
    if (Watching()) {
        if (down && !e.alt) WatchInput(window, e.key);
        return;
    }
    // A key pressed with Alt is the system's; one let go while Alt was held
    // is let go all the same.
    if (down && e.alt) return;
    const bool touch = e.source == KEY_FROM_TOUCH;
    if (down)
        touch ? OnTouchKeyDown(e.key) : OnKeyDown(e.key);
    else
        touch ? OnTouchKeyUp(e.key) : OnKeyUp(e.key);
}

// A pen or a finger, at its place in logical pixels.
void OnPenEvent(Window window, const Event& e) {
    int32_t x = 0, y = 0;
    WindowToLogical(e.x, e.y, &x, &y);
    // Watching, a tap on a button is its key.
    if (Watching()) {
        const uint16_t key = e.kind == EVENT_PEN_DOWN ? ButtonKeyAt(x, y) : 0;
        if (key != 0) WatchInput(window, key);
        return;
    }
    switch (e.kind) {
    case EVENT_PEN_DOWN: OnFingerDown(e.finger, x, y); break;
    case EVENT_PEN_MOVE: OnFingerMove(e.finger, x, y); break;
    default: OnFingerUp(e.finger); break;
    }
}

// Out of sight, a game in play would go on unseen: it pauses (which keeps
// it), and the player resumes it with Space.
void OnHidden() {
    if (Watching()) {
        WatchHidden();
        return;
    }
    KeepBeforeTick();
    PausePlay();
    RecordPause();
    KeepAfterTick(0);
}
} // namespace

int32_t WindowProc(Window window, const Event& event) {
    switch (event.kind) {
    case EVENT_CREATE: OnCreate(window); return 0;
    case EVENT_DESTROY: OnDestroy(window); return 0;
    // The program may end without its window being destroyed (a browser
    // page hidden or closed, the display lost): the settings and the game
    // in progress are saved.
    case EVENT_END_SESSION: KeepEverything(false); return 0;
    case EVENT_SHOWN:
        if (!event.shown) OnHidden();
        return 0;
    case EVENT_PAINT: return PaintWindow(window);
    case EVENT_SIZE: FitWindow(window); return 0;
    case EVENT_KEY_DOWN:
    case EVENT_KEY_UP: OnKeyEvent(window, event); return 0;
    case EVENT_COMMAND:
        if (event.command == CMD_CLOSE) {
            PlatformDestroyWindow(window);
            return 0;
        }
        return PlatformDefaultWindowProc(window, event);
    case EVENT_TIMER: TimerTicks(window, event.slept); return 0;
    case EVENT_PEN_DOWN:
    case EVENT_PEN_MOVE:
    case EVENT_PEN_UP: OnPenEvent(window, event); return 0;
    default: return PlatformDefaultWindowProc(window, event);
    }
}
