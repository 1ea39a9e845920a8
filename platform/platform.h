// SPDX-License-Identifier: GPL-3.0-or-later
// The services the game needs from the system it runs on: one window with
// events, a timer, a present of the finished picture, sound, and
// the per-user data folder. Each backend, a folder of its own beside this
// file, provides all of them, and a program links exactly one: the desktop
// one on SDL2 (sdl/), the browser one on Emscripten (web/), and a headless
// one (headless/: no window, no clock, sound recorded) that the runner and
// the tests drive event by event.
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

// What happens to the window, as the backends tell it and as the game posts
// it to itself: a kind, and the fields that kind fills.
enum EventKind : uint8_t {
    EVENT_NONE = 0,
    EVENT_CREATE,      // the window exists: the game sets itself up
    EVENT_DESTROY,     // the window goes: the game keeps what it must
    EVENT_SIZE,        // a new size (PlatformWindowSize): the game may lay itself out afresh
    EVENT_PAINT,       // the window's picture is to be shown
    EVENT_CLOSE,       // the window manager, or an ending signal, asks the window to close
    EVENT_END_SESSION, // the program may end without its window being destroyed (a
                       // browser page hidden or closed): keep now what must not be lost
    EVENT_SHOWN,       // `shown`: seen again, or hidden or minimised (a browser page hidden)
    EVENT_KEY_DOWN,    // `key` went down (again, when the system repeats it)
    EVENT_KEY_UP,      // `key` went up
    EVENT_CHARACTER,   // `key` typed as a character (with Alt, for the accelerators)
    EVENT_COMMAND,     // `command`: an accelerator's, or a dialog button's (its control id)
    EVENT_TIMER,       // timer `timer` fell due, after `slept` ticks it slept through
    EVENT_PEN_DOWN,    // pen `finger` down at (`x`, `y`), in the window's pixels
    EVENT_PEN_MOVE,    // ... moved while down
    EVENT_PEN_UP,      // ... lifted
    EVENT_INIT_DIALOG, // to a dialog's procedure: the dialog is about to show
    EVENT_CHECK,       // to a dialog: its check box `command` (by id) takes `state`
};

// Where a key comes from.
enum KeySource : uint8_t {
    KEY_FROM_KEYBOARD = 0,
    KEY_FROM_PAD = 1, // a game controller's button or stick standing for it
    // A control on the screen that stands for it (the browser's touch
    // controls): pressed and let go within one tick it still counts once, as
    // a tap on an on-screen button does.
    KEY_FROM_TOUCH = 2,
};

struct Event {
    EventKind kind;
    uint8_t source;  // key events: a KeySource
    bool alt;        // key and character events: Alt held (the system's keys)
    bool shown;      // EVENT_SHOWN
    uint32_t key;    // key events: the virtual-key code; EVENT_CHARACTER: the character
    int32_t finger;  // pen events: 0 for the pen, the mouse and the first finger
    int32_t x, y;    // pen events
    uint32_t timer;  // EVENT_TIMER
    int32_t slept;   // EVENT_TIMER: how many ticks it stands for besides its own
    int32_t command; // EVENT_COMMAND; EVENT_CHECK: the check box
    int32_t state;   // EVENT_CHECK
};

// Each kind of event, made with its fields named.
constexpr Event MakeEvent(EventKind kind) {
    Event e{};
    e.kind = kind;
    return e;
}
constexpr Event KeyEvent(EventKind kind, uint32_t key, uint8_t source = KEY_FROM_KEYBOARD,
                         bool alt = false) {
    Event e = MakeEvent(kind);
    e.key = key;
    e.source = source;
    e.alt = alt;
    return e;
}
constexpr Event PenEvent(EventKind kind, int32_t finger, int32_t x, int32_t y) {
    Event e = MakeEvent(kind);
    e.finger = finger;
    e.x = x;
    e.y = y;
    return e;
}
constexpr Event TimerEvent(uint32_t timer, int32_t slept) {
    Event e = MakeEvent(EVENT_TIMER);
    e.timer = timer;
    e.slept = slept;
    return e;
}
constexpr Event CommandEvent(int32_t command) {
    Event e = MakeEvent(EVENT_COMMAND);
    e.command = command;
    return e;
}
constexpr Event CheckEvent(int32_t control, int32_t state) {
    Event e = MakeEvent(EVENT_CHECK);
    e.command = control;
    e.state = state;
    return e;
}
constexpr Event ShownEvent(bool shown) {
    Event e = MakeEvent(EVENT_SHOWN);
    e.shown = shown;
    return e;
}

// Commands of the accelerator table.
constexpr int32_t CMD_CLOSE = 40002;
constexpr int32_t CMD_ALT_SLASH = 40003;

using Window = int32_t; // 0 is no window
using WindowProcedure = int32_t (*)(Window window, const Event& event);

// Pens told apart: the pen, the mouse or the first finger is 0, and each
// further finger is a pen of its own; others are not seen.
constexpr int32_t PenFingers = 10;

// The window: borderless, at the system's default place and size (on a
// desktop, the whole usable screen). The create event reaches `procedure`
// before this returns; 0 when no window can be made.
Window PlatformCreateWindow(const char* title, WindowProcedure procedure);
// The drawing area in real pixels.
void PlatformWindowSize(Window window, int32_t* width, int32_t* height);
void PlatformShowWindow(Window window);
// Paints at once if anything was marked for repainting.
void PlatformUpdateWindow(Window window);
// Marks the whole window for repainting, without erasing.
void PlatformInvalidate(Window window);
// The destroy event reaches the procedure before this returns.
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

// The event queue. PlatformGetEvent waits (sleeping, never spinning) and
// returns false once the quit has been posted, and from then on.
bool PlatformGetEvent(Event* event);
int32_t PlatformDispatchEvent(const Event& event);
void PlatformPostEvent(const Event& event);
void PlatformPostQuit(int32_t exitCode);
int32_t PlatformQuitCode();
// What the window does with an event the game leaves: a close request
// destroys it.
int32_t PlatformDefaultWindowProc(Window window, const Event& event);

// Whether a key (by virtual-key code; 16 is Shift) is down now.
bool PlatformKeyHeld(uint32_t key);

// A modal dialog's check boxes and buttons, in their order, for a system
// that offers a form of its own with targets large enough for a finger (the
// browser on a touch screen) over the dialog the game draws. The player's
// answers come back as the events the drawn dialog takes: EVENT_CHECK for a
// box, EVENT_COMMAND for a button.
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

// A window timer: EVENT_TIMER every `milliseconds`, never queued up.
void PlatformSetTimer(Window window, uint32_t id, uint32_t milliseconds);
void PlatformKillTimer(Window window, uint32_t id);
// The window needs none of the timer's next `ticks` ticks (-1: none at all)
// unless an event of another kind comes first: the loop sleeps through
// them instead of waking for each. They keep their times all the same:
// once the tick after them falls due, or before any posted or input event
// is handed out (which ends the sleep, so that the next tick comes at its
// time), those whose time has come arrive as one EVENT_TIMER whose `slept`
// says how many ticks it stands for besides its own. Setting the timer
// again wakes it.
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
