// SPDX-License-Identifier: GPL-3.0-or-later
// The services the game needs from the system it runs on: one window with
// numbered messages, a timer, a present of the finished picture, sound, and
// the per-user data folder. Each backend, a folder of its own beside this
// file, provides all of them, and a program links exactly one: the desktop
// one on SDL2 (sdl/), the browser one on Emscripten (web/), and a headless
// one (headless/: no window, no clock, sound recorded) that the runner and
// the tests drive message by message.
// What the backends share and no library needs (resources, decoding the
// game's own files, the stretch, the message queue and timers, controllers'
// keys, and the player's small files through the POSIX file calls every
// backend's system has, files.h) is the platform's base, the files of this
// folder.
#pragma once

#include "platform/files.h"
#include "platform/keys.h"

#include <cstddef>
#include <cstdint>

// Message numbers, as the window procedure receives them.
enum MessageNumber : uint32_t {
    MSG_CREATE = 1,
    MSG_DESTROY = 2,
    MSG_SIZE = 5, // the window has a new size (PlatformWindowSize): the game may lay
                  // itself out afresh for it
    MSG_PAINT = 15,
    MSG_CLOSE = 16, // the window manager asks the window to close
    MSG_QUIT = 18,
    MSG_ENDSESSION = 22, // the program may end without its window being destroyed (a
                         // browser page hidden or closed): keep now what must not be lost
    MSG_SHOWWINDOW = 24, // wParam 0: the window was hidden or minimised (a browser page
                         // hidden), so the player no longer sees it; 1: shown again
    MSG_SETCHECK = 241,  // to a dialog: its check box lParam (by id) takes state wParam
    MSG_KEYDOWN = 256,
    MSG_KEYUP = 257,
    MSG_CHAR = 258,
    MSG_SYSKEYDOWN = 260, // a key pressed with Alt held
    MSG_SYSKEYUP = 261,
    MSG_SYSCHAR = 262, // a character typed with Alt held
    MSG_INITDIALOG = 272,
    MSG_COMMAND = 273,
    MSG_TIMER = 275,
    MSG_MOUSEMOVE = 512,
    MSG_PENDOWN = 513,
    MSG_PENUP = 514,
};

// Commands of the accelerator table.
constexpr uint32_t CMD_CLOSE = 40002;
constexpr uint32_t CMD_ALT_SLASH = 40003;

using Window = int32_t; // 0 is no window
using WindowProcedure = int32_t (*)(Window window, uint32_t message, uint32_t wParam,
                                    int32_t lParam);

struct Message {
    Window window;
    uint32_t message;
    uint32_t wParam;
    int32_t lParam;
};

// Pen messages (MSG_PENDOWN, MSG_MOUSEMOVE while it is down, MSG_PENUP)
// carry in bits 8 to 15 of wParam which finger they are of: 0 for the pen,
// the mouse and the first finger; each further finger is a pen of its own.
constexpr uint32_t PEN_FINGER_SHIFT = 8;
constexpr int32_t PenFingers = 10; // fingers told apart; others are not seen
constexpr int32_t PenFinger(uint32_t wParam) {
    return static_cast<int32_t>((wParam >> PEN_FINGER_SHIFT) & 0xFFu);
}

// Pen positions pack x into the low 16 bits and y into the high 16 bits.
constexpr int32_t PackPosition(int32_t x, int32_t y) {
    return static_cast<int32_t>((static_cast<uint32_t>(x) & 0xFFFFu) |
                                ((static_cast<uint32_t>(y) & 0xFFFFu) << 16));
}

// The window: borderless, at the system's default place and size (on a
// desktop, the whole usable screen). The create message reaches `procedure`
// before this returns; 0 when no window can be made.
Window PlatformCreateWindow(const char* title, WindowProcedure procedure);
// The drawing area in real pixels.
void PlatformWindowSize(Window window, int32_t* width, int32_t* height);
void PlatformShowWindow(Window window);
// Paints at once if anything was marked for repainting.
void PlatformUpdateWindow(Window window);
// Marks the whole window for repainting, without erasing.
void PlatformInvalidate(Window window);
// The destroy message reaches the procedure before this returns.
void PlatformDestroyWindow(Window window);
bool PlatformWindowAlive(Window window);

// Icons: icon resource `iconId` at the given square size.
bool PlatformHasSmallIcon(Window window);
void PlatformSetSmallIcon(Window window, int32_t iconId, int32_t size);
void PlatformSetClassIcon(int32_t iconId);
// Whether the screen is to stay lit: yes while a game is in play, no when
// it is paused, over or on the title (the shell says so every tick). A
// system that keeps a game's screen lit anyway (the desktop) does nothing.
void PlatformKeepAwake(Window window, bool awake);

// The message queue. GetMessage waits (sleeping, never spinning) and returns
// false once the quit message has been posted, and from then on.
bool PlatformGetMessage(Message* message);
int32_t PlatformDispatchMessage(const Message& message);
void PlatformPostMessage(Window window, uint32_t message, uint32_t wParam, int32_t lParam);
void PlatformPostQuitMessage(int32_t exitCode);
int32_t PlatformQuitCode();
int32_t PlatformDefaultWindowProc(Window window, uint32_t message, uint32_t wParam, int32_t lParam);

// Whether a key (by virtual-key code; 16 is Shift) is down now.
bool PlatformKeyHeld(uint32_t key);

// A modal dialog's check boxes and buttons, in their order, for a system
// that offers a form of its own with targets large enough for a finger (the
// browser on a touch screen) over the dialog the game draws. The player's
// answers come back as the messages the drawn dialog takes: MSG_SETCHECK for
// a box (wParam the state, lParam the id), MSG_COMMAND for a button (its id).
// The game offers the dialog again whenever a box changes, and withdraws it
// when the dialog ends. Elsewhere both do nothing.
struct DialogChoice {
    int32_t id;
    bool button; // a push button, else a check box
    const char* text;
    int32_t checked;
};
void PlatformOfferDialog(Window window, const char* title, const DialogChoice* choices,
                         int32_t count);
void PlatformWithdrawDialog(Window window);

// A line about what the window shows that is not the game's own picture
// (a replay being watched: its speed and its time), where the system can
// show one beside the picture; "" takes it away.
void PlatformShowStatus(Window window, const char* text);

// What the player may take elsewhere, where the system can offer it (the
// browser, as a link to share): the replay of the game that has just ended
// (`code` its replay's code), and the game in progress while it is paused
// (`code` its saved form's); "" withdraws the offer.
void PlatformOfferReplay(Window window, const char* code);
void PlatformOfferGame(Window window, const char* code);

// A window timer: message MSG_TIMER every `milliseconds`, never queued up.
void PlatformSetTimer(Window window, uint32_t id, uint32_t milliseconds);
void PlatformKillTimer(Window window, uint32_t id);
// The window needs none of the timer's next `ticks` ticks (-1: none at all)
// unless a message of another kind comes first: the loop sleeps through
// them instead of waking for each. They keep their times all the same:
// once the tick after them falls due, or before any posted or input
// message is handed out (which ends the sleep, so that the next tick comes
// at its time), those whose time has come arrive as one MSG_TIMER whose
// lParam says how many ticks it stands for besides its own. Setting the
// timer again wakes it.
void PlatformTimerSleep(Window window, uint32_t id, int32_t ticks);

// Shows the width x height picture at `pixels` (0x00RRGGBB, rows `pitch`
// pixels apart) stretched over the whole window, pixels kept square-edged.
void PlatformPresent(Window window, const uint32_t* pixels, int32_t width, int32_t height,
                     int32_t pitch);

// Plays wave resource `name` to its end before returning; dropped silently
// when it cannot be played.
void PlatformPlayWave(const char* name);
void PlatformStopSound();

// The folder for the player's own files (ending in '/'), created if needed;
// empty when there is none.
void PlatformDataFolder(char* buffer, size_t size);

// The player's files kept without holding up the game: PlatformFileReplace
// writes `size` bytes (at most FileMaxBytes) as the file FileFindTarget
// found, by files.h's safe replace, and PlatformFileRemove takes the file
// at `path` away. The desktop does both on a thread of its own, in the
// order asked (a newer write of a file that waits takes the older one's
// place), so that a slow disk never delays a tick; the other backends at
// once. A failure is said on standard error (FileReport). Both return false
// when the file is known not to have been kept (done at once, and failed);
// true when it was kept or is being kept.
bool PlatformFileReplace(const FileTarget& target, const uint8_t* bytes, int32_t size);
bool PlatformFileRemove(const char* path);
// Waits until everything asked of the two above is done; returns how many
// of those failed since the last wait.
int32_t PlatformFilesWait();

// The browser keeps the player's files in its own storage, which another
// copy of the game (a second tab) may have written since this one read it:
// PlatformFileFetch brings the file at `path` up to date from there before
// it is read to be merged with. On a desktop the files are their own
// storage, and it does nothing.
void PlatformFileFetch(const char* path);
