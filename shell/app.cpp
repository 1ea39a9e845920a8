// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/app.h"

#include "game/flow.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/resources.h"
#include "render/buttons.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/cues.h"
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
    Message message{};
    while (PlatformGetMessage(&message)) {
        if (TranslateAccelerator(message)) continue;
        PlatformDispatchMessage(message);
    }
    return PlatformQuitCode();
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
    case MSG_SIZE: FitWindow(window); return 0;
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
