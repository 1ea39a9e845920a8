// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window.h"

#include "platform/queue.h"
#include "platform/timers.h"

#include <cstdlib>

WindowState TheWindow;

bool WindowCreated(WindowProcedure procedure, int32_t width, int32_t height) {
    TheWindow = WindowState{procedure, true, false, true, true, width, height, false, 0};
    // A new window has everything to paint.
    if (procedure(OnlyWindow, MSG_CREATE, 0, 0) == -1) {
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

bool WindowDestroy(Window window) {
    if (!TheWindow.alive || TheWindow.destroying) return false;
    TheWindow.destroying = true;
    TheWindow.procedure(window, MSG_DESTROY, 0, 0);
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
    if (WindowTakePaint()) TheWindow.procedure(window, MSG_PAINT, 0, 0);
}

void PlatformInvalidate(Window) {
    ++TheWindow.invalidations;
    if (TheWindow.alive) TheWindow.invalid = true;
}

bool PlatformWindowAlive(Window) { return TheWindow.alive; }

bool PlatformHasSmallIcon(Window) { return TheWindow.smallIcon; }

// There is one window: every message is its own.
int32_t PlatformDispatchMessage(const Message& message) {
    const WindowProcedure procedure = WindowProcedureIfAlive();
    if (procedure == nullptr) return 0;
    return procedure(OnlyWindow, message.message, message.wParam, message.lParam);
}

void PlatformPostMessage(Window window, uint32_t message, uint32_t wParam, int32_t lParam) {
    QueuePost(Message{window, message, wParam, lParam});
}

void PlatformPostQuitMessage(int32_t exitCode) { QueuePostQuit(exitCode); }

int32_t PlatformQuitCode() { return QueueQuitCode(); }

int32_t PlatformDefaultWindowProc(Window window, uint32_t message, uint32_t, int32_t) {
    // A close request destroys the window.
    if (message == MSG_CLOSE) PlatformDestroyWindow(window);
    return 0;
}
