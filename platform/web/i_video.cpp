// SPDX-License-Identifier: GPL-3.0-or-later
// The window is the page's canvas. The game is given a window of its own
// picture's shape and size, 240 x 320 when the page is taller than wide and
// 320 x 240 otherwise, so that its layout is always the whole picture; the
// canvas is that shape, as large as the page's safe area allows, centred,
// with the touch controls in the band it leaves free. The logical picture
// is stretched into the canvas's own pixels (the device's) by the game's
// one stretch, nearest neighbour, and only the rows that changed since the
// last present are stretched and put on the page, so a picture that stands
// still costs the page nothing. A new size of the page (a phone turned, a
// window resized) places the canvas afresh, and a new shape gives the game
// a new window size, which it lays itself out for. When the window is
// destroyed the page says so.
#include "platform/web/web.h"

#include "platform/stretch.h"
#include "platform/window.h"

#include <emscripten.h>


namespace {
constexpr int32_t MaxBands = 16;

// The page's side of the one window (the rest is the shared bookkeeping).
struct VideoState {
    PixelBuffer last;   // the logical picture last shown
    PixelBuffer canvas; // the canvas's pixels: red, green, blue and alpha bytes
    bool awake;         // the screen is kept lit
};
VideoState Video;

// The game's picture: 240 x 320 in portrait, 320 x 240 in landscape.
constexpr int32_t PictureLong = 320, PictureShort = 240;

// Places the canvas and the touch controls for the page's size: the
// picture's shape (portrait when the safe area is taller than wide, square
// included), as large as fits, centred, on whole device pixels. Gives 1
// for portrait, 0 for landscape; the canvas's device pixels are kept for
// js_canvas_size.
extern "C" int js_lay_out_page();

// The canvas's size in device pixels, as last placed.
extern "C" void js_canvas_size(int32_t* width, int32_t* height);

extern "C" void js_set_title(const char* title);

// Sizes the canvas's own pixels (which clears it) and keeps its context.
extern "C" void js_resize_canvas(int width, int height);

extern "C" void js_put_rows(const uint32_t* pixels, int width, int top, int rows);

// The screen wake lock, taken while a game is played; the browser lets go
// of it itself when the page is hidden (and the game pauses then).
extern "C" void js_keep_awake(int awake);

extern "C" void js_show_ended();

void FreePictures() {
    FreePixels(&Video.last);
    FreePixels(&Video.canvas);
}

// 0x00RRGGBB pixels to the canvas's bytes: red, green, blue, opaque.
void ToCanvasBytes(uint32_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        pixels[i] = 0xFF000000u | (p & 0xFFu) << 16 | (p & 0xFF00u) | (p >> 16 & 0xFFu);
    }
}

// The window's size for the page's shape.
void WindowSizeFor(int portrait, int32_t* width, int32_t* height) {
    *width = portrait != 0 ? PictureShort : PictureLong;
    *height = portrait != 0 ? PictureLong : PictureShort;
}

} // namespace

extern "C" {
// The page changed its size: the canvas is placed afresh and everything
// shown anew; a new shape is a new window size, laid out by the game.
EMSCRIPTEN_KEEPALIVE void WebResized() {
    if (!TheWindow.alive) return;
    int32_t width = 0, height = 0;
    WindowSizeFor(js_lay_out_page(), &width, &height);
    if (width != TheWindow.layoutWidth || height != TheWindow.layoutHeight) {
        TheWindow.layoutWidth = width;
        TheWindow.layoutHeight = height;
        PlatformPostEvent(MakeEvent(EVENT_SIZE));
    }
    WindowExposed();
    WakeLoop();
}
}

void VideoPenPosition(double fx, double fy, int32_t* x, int32_t* y) {
    // The picture fills the canvas: a fraction of it is a fraction of the
    // window.
    const int32_t w = TheWindow.layoutWidth, h = TheWindow.layoutHeight;
    auto at = [](double f, int32_t size) {
        const auto v = static_cast<int32_t>(f * size);
        return v < 0 ? 0 : (v >= size ? size - 1 : v);
    };
    *x = at(fx, w);
    *y = at(fy, h);
}

Window PlatformCreateWindow(const char* title, WindowProcedure procedure) {
    if (procedure == nullptr || TheWindow.alive) return 0;
    js_set_title(title != nullptr ? title : "");
    int32_t width = 0, height = 0;
    WindowSizeFor(js_lay_out_page(), &width, &height);
    EventsListen();
    return WindowCreated(procedure, width, height) ? WebWindow : 0;
}

void PlatformWindowSize(Window, int32_t* width, int32_t* height) {
    *width = TheWindow.layoutWidth;
    *height = TheWindow.layoutHeight;
}

void PlatformShowWindow(Window) {}

void PlatformDestroyWindow(Window window) {
    if (!WindowDestroy(window)) return;
    FreePictures();
    PlatformKeepAwake(window, false);
    // The settings the destruction saved go to the browser's storage, and
    // the page says the game has ended.
    StorageSave();
    js_show_ended();
}

// The page's icons are its manifest's.
void PlatformSetSmallIcon(Window, int32_t, int32_t) {
    TheWindow.smallIcon = true;
}

void PlatformSetClassIcon(int32_t) {}

void PlatformKeepAwake(Window, bool awake) {
    if (awake == Video.awake) return;
    Video.awake = awake;
    js_keep_awake(awake ? 1 : 0);
}

void PlatformPresent(Window, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
    if (!TheWindow.alive || pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return;
    int32_t w = Video.canvas.width, h = Video.canvas.height;
    bool full = TheWindow.redrawAll || width != Video.last.width || height != Video.last.height;
    if (full) js_canvas_size(&w, &h);
    if (w != Video.canvas.width || h != Video.canvas.height) full = true;
    if (!ReservePixels(&Video.last, width, height) || !ReservePixels(&Video.canvas, w, h)) return;
    if (full) js_resize_canvas(w, h);

    RowBand bands[MaxBands];
    // The canvas has the picture's shape to within its last pixel, and the
    // picture covers all of it; only until the game has laid itself out for
    // a new shape does the old picture keep its own, fitted.
    const int64_t cross = static_cast<int64_t>(width) * h - static_cast<int64_t>(height) * w;
    const bool shaped = (cross < 0 ? -cross : cross) * 50 <= static_cast<int64_t>(width) * h;
    const FitRect fit = shaped ? FitRect{0, 0, w, h} : FitPicture(width, height, w, h);
    const int32_t count =
        StretchFitted(pixels, width, height, pitch, Video.last.pixels, full,
                      StretchTarget{Video.canvas.pixels, w, h, w}, fit, bands, MaxBands);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t rows = bands[i].bottom - bands[i].top;
        ToCanvasBytes(Video.canvas.pixels + static_cast<size_t>(bands[i].top) * static_cast<size_t>(w),
                      static_cast<size_t>(rows) * static_cast<size_t>(w));
        js_put_rows(Video.canvas.pixels, w, bands[i].top, rows);
    }
    TheWindow.redrawAll = false;
}
