// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window.h"

#include "platform/queue.h"
#include "platform/timers.h"

#include <cstdlib>

WindowState TheWindow;

bool WindowCreated(WindowProcedure procedure, int32_t width, int32_t height) {
    TheWindow = WindowState{procedure, true, false, true, true, width, height, false, 0, false};
    // A new window has everything to paint.
    if (procedure(OnlyWindow, MakeEvent(EVENT_CREATE)) == -1) {
        PlatformDestroyWindow(OnlyWindow);
        return false;
    }
    return true;
}

WindowProcedure WindowProcedureIfAlive() { return TheWindow.alive ? TheWindow.procedure : nullptr; }

bool WindowTakePaint() {
    if (!TheWindow.alive || !TheWindow.invalid) return false;
    TheWindow.invalid = false;
    return true;
}

void WindowExposed() {
    if (!TheWindow.alive) return;
    TheWindow.redrawAll = true;
    TheWindow.invalid = true;
}

void WindowRunSleptTicks(uint64_t now) {
    if (!TheWindow.waiting) return;
    Event tick{};
    while (TimerWake(now, &tick)) {
        const WindowProcedure procedure = WindowProcedureIfAlive();
        if (procedure == nullptr) return;
        procedure(OnlyWindow, tick);
    }
}

bool WindowDestroy(Window window) {
    if (!TheWindow.alive || TheWindow.destroying) return false;
    TheWindow.destroying = true;
    TheWindow.procedure(window, MakeEvent(EVENT_DESTROY));
    TimerKillAll(window);
    TheWindow.alive = false;
    TheWindow.procedure = nullptr;
    return true;
}

bool ReservePixels(PixelBuffer* buffer, int32_t width, int32_t height) {
    if (buffer->pixels != nullptr && buffer->width == width && buffer->height == height)
        return true;
    FreePixels(buffer);
    if (width <= 0 || height <= 0) return false;
    buffer->pixels = static_cast<uint32_t*>(
        std::malloc(sizeof(uint32_t) * static_cast<size_t>(width) * static_cast<size_t>(height)));
    if (buffer->pixels == nullptr) return false;
    buffer->width = width;
    buffer->height = height;
    return true;
}

void FreePixels(PixelBuffer* buffer) {
    std::free(buffer->pixels);
    *buffer = PixelBuffer{nullptr, 0, 0};
}

void PlatformUpdateWindow(Window window) {
    if (WindowTakePaint()) TheWindow.procedure(window, MakeEvent(EVENT_PAINT));
}

void PlatformInvalidate(Window) {
    ++TheWindow.invalidations;
    if (TheWindow.alive) TheWindow.invalid = true;
}

bool PlatformWindowAlive(Window) { return TheWindow.alive; }

bool PlatformHasSmallIcon(Window) { return TheWindow.smallIcon; }

// There is one window: every event is its own.
int32_t PlatformDispatchEvent(const Event& event) {
    const WindowProcedure procedure = WindowProcedureIfAlive();
    if (procedure == nullptr) return 0;
    return procedure(OnlyWindow, event);
}

void PlatformPostEvent(const Event& event) { QueuePost(event); }

void PlatformPostQuit(int32_t exitCode) { QueuePostQuit(exitCode); }

int32_t PlatformQuitCode() { return QueueQuitCode(); }

int32_t PlatformDefaultWindowProc(Window window, const Event& event) {
    // A close request destroys the window.
    if (event.kind == EVENT_CLOSE) PlatformDestroyWindow(window);
    return 0;
}
