// SPDX-License-Identifier: GPL-3.0-or-later
// The message queue in the page: the browser's events become the old
// platform's numbered messages, and the loop hands them out in a window
// system's order: posted and input messages first, then a repaint, then a
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
    bool waiting; // the loop waits for the page, between messages
    bool shift;          // held with the last key
    uint8_t held[0x300]; // keys down now, by virtual-key code
};
EventState Events;

// Waits until WakeLoop or `ms` milliseconds (-1: no limit) have passed.
EM_ASYNC_JS(void, js_wait, (int ms), {
    await new Promise(function(resolve) {
        var timer = ms >= 0 ? setTimeout(function() { Module.vantleWake = null; resolve(); }, ms) : 0;
        Module.vantleWake = function() {
            if (timer) clearTimeout(timer);
            Module.vantleWake = null;
            resolve();
        };
    });
});

EM_JS(void, js_wake, (), {
    if (Module.vantleWake) Module.vantleWake();
});

// Sound may only start once the player has tapped or typed: the audio
// output is made, or woken, inside the events that browsers count as the
// player's own doing. A finger's pointerdown is not one of them (its
// touchend, pointerup and click are), so a first tap would otherwise stay
// silent; and WebKit stops a running output as "interrupted" when the
// screen locks, to be woken by the next tap.
EM_JS(void, js_listen, (), {
    var canvas = document.getElementById("screen");
    function unlockAudio() {
        try {
            if (!Module.vantleAudio) {
                var Context = window.AudioContext || window.webkitAudioContext;
                if (Context) Module.vantleAudio = new Context();
            }
            var a = Module.vantleAudio;
            if (a && a.state != "running" && a.state != "closed") a.resume().catch(function() {});
        } catch (e) {
        }
    }
    ["keydown", "pointerdown", "pointerup", "touchend", "click", "mousedown"].forEach(function(type) {
        window.addEventListener(type, unlockAudio, true);
    });
    // Every finger is its own pen: on the canvas it takes a finger number
    // of its own (the mouse and a pen too), and slides are followed; on a
    // touch control it holds that control's key, and sliding onto another
    // control lets go of the first and presses that one.
    var fingers = {};
    var slots = [];
    function fraction(e) {
        var r = canvas.getBoundingClientRect();
        return [r.width > 0 ? (e.clientX - r.left) / r.width : 0, r.height > 0 ? (e.clientY - r.top) / r.height : 0];
    }
    function control(el) {
        for (; el && el.getAttribute; el = el.parentNode)
            if (el.getAttribute("data-key") && el.parentNode && el.parentNode.classList.contains("pad")) return el;
        return null;
    }
    // A control lets go of the key it pressed, though it may stand for
    // another by then (relabelled while a replay is watched).
    function press(button, down) {
        if (down) button.classList.add("down"); else button.classList.remove("down");
        var key = +button.getAttribute("data-key");
        if (down) button.vantleKey = key;
        else if (button.vantleKey) key = button.vantleKey;
        _WebTouchKey(down ? 1 : 0, key);
    }
    canvas.addEventListener("pointerdown", function(e) {
        if (e.pointerType == "mouse" && e.button != 0) return;
        e.preventDefault();
        if (fingers[e.pointerId]) return;
        var slot = 0;
        while (slot < 10 && slots[slot] !== undefined) slot++;
        if (slot == 10) return;
        slots[slot] = e.pointerId;
        fingers[e.pointerId] = { slot: slot, slides: e.pointerType != "mouse" };
        try { canvas.setPointerCapture(e.pointerId); } catch (x) {}
        canvas.focus();
        var f = fraction(e);
        _WebPointer(1, slot, f[0], f[1]);
    });
    var pads = document.querySelectorAll(".pad");
    for (var i = 0; i < pads.length; i++) {
        pads[i].addEventListener("pointerdown", function(e) {
            e.preventDefault();
            if (e.pointerType == "mouse" && e.button != 0) return;
            var b = control(e.target);
            if (!b || fingers[e.pointerId]) return;
            // Each finger's moves are followed across the controls, not
            // held by the one it went down on.
            try { e.target.releasePointerCapture(e.pointerId); } catch (x) {}
            fingers[e.pointerId] = { on: b };
            press(b, true);
        });
        pads[i].addEventListener("contextmenu", function(e) { e.preventDefault(); });
    }
    window.addEventListener("pointermove", function(e) {
        var f = fingers[e.pointerId];
        if (!f) return;
        if (f.slot !== undefined) {
            if (!f.slides) return;
            var p = fraction(e);
            _WebPointer(2, f.slot, p[0], p[1]);
            return;
        }
        var b = control(document.elementFromPoint(e.clientX, e.clientY));
        if (b === f.on) return;
        if (f.on) press(f.on, false);
        f.on = b;
        if (b) press(b, true);
    }, true);
    function up(e) {
        var f = fingers[e.pointerId];
        if (!f) return;
        delete fingers[e.pointerId];
        if (f.slot !== undefined) {
            slots[f.slot] = undefined;
            var p = fraction(e);
            _WebPointer(0, f.slot, p[0], p[1]);
        } else if (f.on) {
            press(f.on, false);
        }
    }
    window.addEventListener("pointerup", up, true);
    window.addEventListener("pointercancel", up, true);
    // A touch the page does not cancel makes Chromium wait to see whether
    // it becomes a scroll or a zoom, and while it waits it holds back the
    // page's timers, the game's tick among them, by up to 100 ms: every
    // touch is the game's, so it is cancelled at once (which also keeps the
    // page from zooming on a double tap).
    // The form of a dialog (js/dialog.js) and the page's offers are the
    // page's own: their taps are clicks (and the game's timer stands while
    // the dialog is open).
    function cancelTouch(e) {
        if (e.cancelable && !(e.target && e.target.closest && e.target.closest("#options, #offers"))) e.preventDefault();
    }
    window.addEventListener("touchstart", cancelTouch, {passive: false});
    window.addEventListener("touchmove", cancelTouch, {passive: false});
    canvas.addEventListener("contextmenu", function(e) { e.preventDefault(); });
    canvas.addEventListener("wheel", function(e) { e.preventDefault(); }, {passive: false});
    document.addEventListener("gesturestart", function(e) { e.preventDefault(); });
    window.addEventListener("resize", function() { _WebResized(); });
    window.addEventListener("orientationchange", function() { _WebResized(); });
    window.addEventListener("pagehide", function() { _WebEndSession(); });
    window.addEventListener("blur", function() { _WebBlur(); });
    document.addEventListener("visibilitychange", function() {
        var hidden = document.visibilityState == "hidden";
        _WebShown(hidden ? 0 : 1);
        if (hidden) _WebEndSession();
    });
});

void Post(const Message& m) {
    QueuePost(m);
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
    uint32_t message = down ? MSG_KEYDOWN : MSG_KEYUP;
    if (system) message = down ? MSG_SYSKEYDOWN : MSG_SYSKEYUP;
    Post(Message{WebWindow, message, vk, 0});
    const uint32_t character = UnshiftedCharacterOfDomKey(code);
    if (system && down && !shift && character != 0)
        Post(Message{WebWindow, MSG_SYSCHAR, character, 0});
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
void RunSleptTicks(WindowProcedure procedure) {
    if (!Events.waiting) return;
    Message m{};
    while (TimerWake(Now(), &m) && WindowProcedureIfAlive() != nullptr)
        procedure(m.window, m.message, m.wParam, m.lParam);
    WakeLoop();
}

// The page loses the keyboard: keys let go elsewhere would never come up.
void LetGoOfAllKeys() {
    for (uint32_t vk = 0; vk < sizeof Events.held; ++vk) {
        if (Events.held[vk] == 0) continue;
        Events.held[vk] = 0;
        Post(Message{WebWindow, MSG_KEYUP, vk, 0});
    }
    Events.shift = false;
}
} // namespace

extern "C" {
// A finger (or the pen, or the mouse) on the canvas went down (1), moved
// (2) or went up (0) at a fraction of the canvas; each has its number.
EMSCRIPTEN_KEEPALIVE void WebPointer(int kind, int finger, double fx, double fy) {
    if (finger < 0 || finger >= PenFingers) return;
    const uint32_t which = static_cast<uint32_t>(finger) << PEN_FINGER_SHIFT;
    const uint32_t message = kind == 1 ? MSG_PENDOWN : (kind == 2 ? MSG_MOUSEMOVE : MSG_PENUP);
    Post(Message{WebWindow, message, kind == 0 ? which : which | 1u, VideoPenPosition(fx, fy)});
}

// A touch control went down (1) or up (0): the key it stands for, flagged
// so that a tap shorter than a tick still counts.
EMSCRIPTEN_KEEPALIVE void WebTouchKey(int down, int key) {
    if (key <= 0 || key >= 0x300) return;
    Post(Message{WebWindow, down != 0 ? MSG_KEYDOWN : MSG_KEYUP, static_cast<uint32_t>(key),
                 KEY_FROM_TOUCH});
}

// The page lost the keyboard to another window or tab.
EMSCRIPTEN_KEEPALIVE void WebBlur() {
    LetGoOfAllKeys();
}

// The page was hidden (0: another tab, the browser minimised, the phone
// locked) or shown again (1): the window is told at once.
EMSCRIPTEN_KEEPALIVE void WebShown(int shown) {
    const WindowProcedure procedure = WindowProcedureIfAlive();
    if (procedure == nullptr) return;
    RunSleptTicks(procedure);
    if (WindowProcedureIfAlive() != nullptr)
        procedure(WebWindow, MSG_SHOWWINDOW, shown != 0 ? 1u : 0u, 0);
}

// The page is hidden or closing: it may never run again.
EMSCRIPTEN_KEEPALIVE void WebEndSession() {
    const WindowProcedure procedure = WindowProcedureIfAlive();
    if (procedure == nullptr) return;
    RunSleptTicks(procedure);
    if (WindowProcedureIfAlive() == nullptr) return;
    procedure(WebWindow, MSG_ENDSESSION, 0, 0);
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
    js_listen();
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKey);
}

bool PlatformGetMessage(Message* message) {
    for (;;) {
        if (QueueQuitPosted()) return false;
        const bool pads = PadPoll();
        int32_t wait = -1;
        if (LoopLook(Now(), WebWindow, WindowTakePaint, message, &wait)) return true;
        if (pads && (wait < 0 || wait > PadPollMs)) wait = PadPollMs;
        Events.waiting = true;
        js_wait(wait);
        Events.waiting = false;
    }
}

bool PlatformKeyHeld(uint32_t key) {
    if (key == VK_SHIFT && Events.shift) return true;
    return key < sizeof Events.held && Events.held[key] != 0;
}
