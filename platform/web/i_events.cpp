// SPDX-License-Identifier: GPL-3.0-or-later
// The event queue in the page: the browser's events become the game's
// events, and the loop hands them out in a window system's order: posted
// and input events first, then a repaint, then a
// due timer. With nothing to hand out the game waits, through Asyncify,
// until an event comes or a tick the game wants falls due: the page then
// costs nothing.
#include "platform/web/web.h"

#include "platform/keys.h"
#include "platform/loop.h"
#include "platform/queue.h"
#include "platform/timers.h"
#include "platform/window.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

namespace {
// How often controllers are read while nothing else wakes the loop.
constexpr int32_t PadPollMs = 35;

struct EventState {
    bool listening;
    bool shift;          // held with the last key
    uint8_t held[0x300]; // keys down now, by virtual-key code
};
EventState Events;

// Waits until WakeLoop or `ms` milliseconds (-1: no limit) have passed.
extern "C" void js_wait(int ms);

extern "C" void js_wake();

// Sound may only start once the player has tapped or typed: the audio
// output is made, or woken, inside the events that browsers count as the
// player's own doing. A finger's pointerdown is not one of them (its
// touchend, pointerup and click are), so a first tap would otherwise stay
// silent; and WebKit stops a running output as "interrupted" when the
// screen locks, to be woken by the next tap.
// Each finger up to `penFingers` is a pen of its own.
extern "C" void js_listen(int penFingers);

void Post(const Event& e) {
    QueuePost(e);
    WakeLoop();
}

// Keys whose default the page would act on (scrolling, going back) and
// nothing outside it needs: the keyboard's characters, Space, Enter, Tab,
// Backspace, Escape, the arrows and the keys beside them, the keypad.
bool PageKey(uint32_t vk) {
    if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || vk == VK_CAPITAL ||
        vk == VK_SNAPSHOT)
        return false;
    if (vk < VK_LWIN) return true;
    if (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) return true;
    return vk >= VK_OEM_1 && vk <= VK_OEM_102;
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    // The event's fields are shared by every event: copy what is needed.
    char code[32], key[32];
    std::memcpy(code, event->code, sizeof code);
    std::memcpy(key, event->key, sizeof key);
    code[sizeof code - 1] = key[sizeof key - 1] = 0;
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    const bool alt = event->altKey != 0, ctrl = event->ctrlKey != 0, shift = event->shiftKey != 0;
    const bool meta = event->metaKey != 0;
    Events.shift = shift;
    const uint32_t vk = VirtualKeyOfDomKey(code, key);
    if (vk == 0) return EM_FALSE;
    if (vk < sizeof Events.held) Events.held[vk] = down ? 1 : 0;
    // Alt makes a key a system key; Ctrl+Alt (AltGr) types characters, as
    // plain keys do. An Alt+key also types its character, which is what the
    // accelerator table matches Alt+/ by.
    const bool system = alt && !ctrl;
    Post(KeyEvent(down ? EVENT_KEY_DOWN : EVENT_KEY_UP, vk, KEY_FROM_KEYBOARD, system));
    const uint32_t character = UnshiftedCharacterOfDomKey(code);
    if (system && down && !shift && character != 0)
        Post(KeyEvent(EVENT_CHARACTER, character, KEY_FROM_KEYBOARD, true));
    // The page's own shortcuts (Ctrl or Cmd with a key, the function keys)
    // and the system's keys stay the browser's; the game's keys do not
    // scroll the page.
    return ctrl || meta || !PageKey(vk) ? EM_FALSE : EM_TRUE;
}

// The page's hiding or closing is told to the window at once, from the
// page's event, for the page may never run again. The ticks the loop slept
// through until then run first, as they would have before the event came,
// and the sleep ends: the loop looks again, for the next tick at its time.
// (Not while a tick waits for its sound: it is not over yet.)
void RunSleptTicks() {
    WindowRunSleptTicks(Now());
    WakeLoop();
}

// The page loses the keyboard: keys let go elsewhere would never come up.
void LetGoOfAllKeys() {
    for (uint32_t vk = 0; vk < sizeof Events.held; ++vk) {
        if (Events.held[vk] == 0) continue;
        Events.held[vk] = 0;
        Post(KeyEvent(EVENT_KEY_UP, vk));
    }
    Events.shift = false;
}
} // namespace

extern "C" {
// A finger (or the pen, or the mouse) on the canvas went down (1), moved
// (2) or went up (0) at a fraction of the canvas; each has its number.
EMSCRIPTEN_KEEPALIVE void WebPointer(int kind, int finger, double fx, double fy) {
    if (finger < 0 || finger >= PenFingers) return;
    int32_t x = 0, y = 0;
    VideoPenPosition(fx, fy, &x, &y);
    Post(PenEvent(kind == 1 ? EVENT_PEN_DOWN : (kind == 2 ? EVENT_PEN_MOVE : EVENT_PEN_UP), finger, x,
                  y));
}

// A touch control went down (1) or up (0): the key it stands for, flagged
// so that a tap shorter than a tick still counts.
EMSCRIPTEN_KEEPALIVE void WebTouchKey(int down, int key) {
    if (key <= 0 || key >= 0x300) return;
    Post(KeyEvent(down != 0 ? EVENT_KEY_DOWN : EVENT_KEY_UP, static_cast<uint32_t>(key),
                  KEY_FROM_TOUCH));
}

// The page lost the keyboard to another window or tab.
EMSCRIPTEN_KEEPALIVE void WebBlur() {
    LetGoOfAllKeys();
}

// The page was hidden (0: another tab, the browser minimised, the phone
// locked) or shown again (1): the window is told at once.
EMSCRIPTEN_KEEPALIVE void WebShown(int shown) {
    if (WindowProcedureIfAlive() == nullptr) return;
    RunSleptTicks();
    const WindowProcedure procedure = WindowProcedureIfAlive();
    if (procedure != nullptr) procedure(WebWindow, ShownEvent(shown != 0));
}

// The page is hidden or closing: it may never run again.
EMSCRIPTEN_KEEPALIVE void WebEndSession() {
    if (WindowProcedureIfAlive() == nullptr) return;
    RunSleptTicks();
    const WindowProcedure procedure = WindowProcedureIfAlive();
    if (procedure == nullptr) return;
    procedure(WebWindow, MakeEvent(EVENT_END_SESSION));
    StorageSave();
}
}

uint64_t Now() {
    return SteadyClock(static_cast<uint64_t>(emscripten_get_now()));
}

void WakeLoop() {
    js_wake();
}

// Starts listening to the page once, with the window.
void EventsListen() {
    if (Events.listening) return;
    Events.listening = true;
    js_listen(PenFingers);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKey);
}

bool PlatformGetEvent(Event* event) {
    for (;;) {
        if (QueueQuitPosted()) return false;
        const bool pads = PadPoll();
        int32_t wait = -1;
        if (LoopLook(Now(), WindowTakePaint, event, &wait)) return true;
        if (pads && (wait < 0 || wait > PadPollMs)) wait = PadPollMs;
        TheWindow.waiting = true;
        js_wait(wait);
        TheWindow.waiting = false;
    }
}

bool PlatformKeyHeld(uint32_t key) {
    if (key == VK_SHIFT && Events.shift) return true;
    return key < sizeof Events.held && Events.held[key] != 0;
}
