// SPDX-License-Identifier: GPL-3.0-or-later
// The event queue: SDL's events become the game's, and the loop hands them
// out in a window system's order: posted and input events first, then a
// repaint, then a due timer. With nothing
// to hand out it sleeps in SDL until an event comes or a tick the game
// wants falls due.
#include "platform/sdl/desktop.h"

#include "platform/loop.h"
#include "platform/queue.h"
#include "platform/stretch.h"
#include "platform/timers.h"

namespace {
struct EventState {
    PenState pen;
    PadState pad;
    bool endPosted; // an ending signal has become a close request
};
EventState Events;

// A pen event at a position in real pixels of the window now, placed at the
// laid-out pixel the picture shows there.
Event PenAt(EventKind kind, int32_t x, int32_t y, const PenScale& s) {
    const FitRect fit = FitPicture(s.layoutWidth, s.layoutHeight, s.pixelWidth, s.pixelHeight);
    int32_t px = 0, py = 0;
    FitToPicture(fit, s.layoutWidth, s.layoutHeight, x, y, &px, &py);
    return PenEvent(kind, 0, px, py);
}

Event MousePen(EventKind kind, int32_t x, int32_t y, const PenScale& s) {
    const int64_t px = s.windowWidth > 0 ? int64_t{x} * s.pixelWidth / s.windowWidth : x;
    const int64_t py = s.windowHeight > 0 ? int64_t{y} * s.pixelHeight / s.windowHeight : y;
    return PenAt(kind, static_cast<int32_t>(px), static_cast<int32_t>(py), s);
}

// Touch positions are fractions of the window.
Event TouchPen(EventKind kind, float x, float y, const PenScale& s) {
    return PenAt(kind, static_cast<int32_t>(x * static_cast<float>(s.pixelWidth)),
                 static_cast<int32_t>(y * static_cast<float>(s.pixelHeight)), s);
}

int32_t TranslateKey(const SDL_KeyboardEvent& key, Event out[2]) {
    const uint16_t mod = key.keysym.mod;
    const uint32_t code = VirtualKeyOf(key.keysym.scancode, key.keysym.sym, mod);
    const bool down = key.type == SDL_KEYDOWN;
    // Alt makes a key a system key; Ctrl+Alt (AltGr) types characters, as
    // plain keys do.
    const bool system = (mod & KMOD_ALT) != 0 && (mod & KMOD_CTRL) == 0;
    out[0] = KeyEvent(down ? EVENT_KEY_DOWN : EVENT_KEY_UP, code, KEY_FROM_KEYBOARD, system);
    // An Alt+key also types its character, which is what the accelerator
    // table matches Alt+/ by. With Shift the character depends on the
    // layout, so only unshifted keys give one.
    const SDL_Keycode sym = key.keysym.sym;
    if (system && down && (mod & KMOD_SHIFT) == 0 && sym >= 32 && sym < 127) {
        out[1] = KeyEvent(EVENT_CHARACTER, static_cast<uint32_t>(sym), KEY_FROM_KEYBOARD, true);
        return 2;
    }
    return 1;
}

void HandleEvent(const SDL_Event& event) {
    if (event.type == SDL_WINDOWEVENT) VideoWindowEvent(event.window);
    PadDeviceEvent(event);
    Event out[PadMaxEvents];
    int32_t n = TranslateEvent(event, VideoPenScale(), &Events.pen, out);
    if (n == 0) n = TranslatePadEvent(event, &Events.pad, out);
    for (int32_t i = 0; i < n; ++i) QueuePost(out[i]);
}
} // namespace

int32_t TranslateEvent(const SDL_Event& event, const PenScale& scale, PenState* pen, Event out[2]) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        // Auto-repeat comes as further key-downs, as it did before.
        return TranslateKey(event.key, out);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const SDL_MouseButtonEvent& b = event.button;
        // Touches come as touches; the mouse events SDL makes of them are
        // not delivered twice.
        if (b.which == SDL_TOUCH_MOUSEID || b.button != SDL_BUTTON_LEFT) return 0;
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        if (down == pen->down || pen->byTouch) return 0;
        *pen = PenState{down, false, 0};
        out[0] = MousePen(down ? EVENT_PEN_DOWN : EVENT_PEN_UP, b.x, b.y, scale);
        return 1;
    }
    case SDL_FINGERDOWN:
    case SDL_FINGERUP: {
        const SDL_TouchFingerEvent& f = event.tfinger;
        if (f.touchId == SDL_MOUSE_TOUCHID) return 0;
        if (event.type == SDL_FINGERDOWN) {
            // One pen: a second finger while one is down is not another.
            if (pen->down) return 0;
            *pen = PenState{true, true, f.fingerId};
            out[0] = TouchPen(EVENT_PEN_DOWN, f.x, f.y, scale);
            return 1;
        }
        if (!pen->down || !pen->byTouch || pen->finger != f.fingerId) return 0;
        *pen = PenState{false, false, 0};
        out[0] = TouchPen(EVENT_PEN_UP, f.x, f.y, scale);
        return 1;
    }
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: out[0] = MakeEvent(EVENT_CLOSE); return 1;
        // Out of the player's sight, and back.
        case SDL_WINDOWEVENT_HIDDEN:
        case SDL_WINDOWEVENT_MINIMIZED: out[0] = ShownEvent(false); return 1;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED: out[0] = ShownEvent(true); return 1;
        default: return 0;
        }
    case SDL_QUIT:
        // An ending signal: asked to close, as the window manager asks.
        out[0] = MakeEvent(EVENT_CLOSE);
        return 1;
    default: return 0;
    }
}

void RunSleptTicks() { WindowRunSleptTicks(LoopNow()); }

bool PlatformGetEvent(Event* got) {
    SDL_Event event;
    for (;;) {
        if (QueueQuitPosted()) return false;
        // SDL's events are taken while the queue has room for them; the
        // rest wait in SDL's own queue (and the X server's), so that a burst
        // of input after a stall loses nothing.
        TheWindow.waiting = true;
        while (QueueRoomForInput() && SDL_PollEvent(&event)) HandleEvent(event);
        TheWindow.waiting = false;
        // A signal that came before SDL could take its event.
        if (EndRequested() && !Events.endPosted) {
            Events.endPosted = true;
            QueuePost(MakeEvent(EVENT_CLOSE));
        }
        int32_t wait = -1;
        if (LoopLook(LoopNow(), WindowTakePaint, got, &wait)) return true;
        // Sleep until something happens or the next tick the game wants.
        TheWindow.waiting = true;
        const bool woken = wait < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, wait);
        TheWindow.waiting = false;
        if (woken) HandleEvent(event);
    }
}

// The desktop's dialog is the one the game draws, under the mouse's or the
// pen's precise point: no form of its own.
void PlatformOfferDialog(Window, const char*, const DialogChoice*, int32_t) {}
void PlatformWithdrawDialog(Window) {}

// The window is the whole screen, without a caption to put a status in;
// the replays and the game are the files beside the settings (and vantle
// --watch and --game take them).
void PlatformShowStatus(Window, const char*) {}
void PlatformOfferReplay(Window, const char*) {}
void PlatformOfferGame(Window, const char*) {}
