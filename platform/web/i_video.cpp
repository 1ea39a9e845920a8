// SPDX-License-Identifier: GPL-3.0-or-later
// The window is the page's canvas, as large as the page in device pixels:
// the logical picture is stretched into the canvas's own pixels by the
// game's one stretch, nearest neighbour, and only the rows that changed
// since the last present are stretched and put on the page, so a picture
// that stands still costs the page nothing. The game lays itself out for
// the page's size at load; after a change of size the same picture keeps
// its shape, as large as fits, centred on black, as on the desktop. When
// the window is destroyed the page says so.
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
};
VideoState Video;

// The canvas's size in device pixels: its size on the page times the
// device's pixels to a page pixel.
EM_JS(void, js_canvas_size, (int32_t* width, int32_t* height), {
    var c = document.getElementById("screen");
    var r = c.getBoundingClientRect();
    var ratio = window.devicePixelRatio || 1;
    HEAP32[width >> 2] = Math.max(1, Math.round(r.width * ratio));
    HEAP32[height >> 2] = Math.max(1, Math.round(r.height * ratio));
});

EM_JS(void, js_set_title, (const char* title), {
    document.title = UTF8ToString(title);
});

// Sizes the canvas's own pixels (which clears it) and keeps its context.
EM_JS(void, js_resize_canvas, (int width, int height), {
    var c = document.getElementById("screen");
    if (c.width != width) c.width = width;
    if (c.height != height) c.height = height;
    Module.vantleContext = c.getContext("2d", {alpha: false});
    Module.vantleContext.imageSmoothingEnabled = false;
});

EM_JS(void, js_put_rows, (const uint32_t* pixels, int width, int top, int rows), {
    var g = Module.vantleContext;
    if (!g) return;
    var bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels + top * width * 4, width * rows * 4);
    g.putImageData(new ImageData(bytes, width, rows), 0, top);
});

EM_JS(void, js_show_ended, (), {
    var c = document.getElementById("screen");
    if (c) c.style.display = "none";
    var e = document.getElementById("ended");
    if (e) e.style.display = "flex";
});

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

} // namespace

extern "C" {
// The page changed its size: everything is shown anew, fitted to it.
EMSCRIPTEN_KEEPALIVE void WebResized() {
    WindowExposed();
    WakeLoop();
}
}

int32_t VideoPenPosition(double fx, double fy) {
    const int32_t w = TheWindow.layoutWidth, h = TheWindow.layoutHeight;
    // The canvas as last shown, through the place the picture has on it.
    const int32_t cw = Video.canvas.pixels != nullptr ? Video.canvas.width : w;
    const int32_t ch = Video.canvas.pixels != nullptr ? Video.canvas.height : h;
    int32_t x = 0, y = 0;
    FitToPicture(FitPicture(w, h, cw, ch), w, h, static_cast<int32_t>(fx * cw),
                 static_cast<int32_t>(fy * ch), &x, &y);
    return PackPosition(x, y);
}

Window PlatformCreateWindow(const char* title, WindowProcedure procedure) {
    if (procedure == nullptr || TheWindow.alive) return 0;
    js_set_title(title != nullptr ? title : "");
    int32_t width = 0, height = 0;
    js_canvas_size(&width, &height);
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

void PlatformPresent(Window, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
    if (!TheWindow.alive || pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return;
    int32_t w = Video.canvas.width, h = Video.canvas.height;
    bool full = TheWindow.redrawAll || width != Video.last.width || height != Video.last.height;
    if (full) js_canvas_size(&w, &h);
    if (w != Video.canvas.width || h != Video.canvas.height) full = true;
    if (!ReservePixels(&Video.last, width, height) || !ReservePixels(&Video.canvas, w, h)) return;
    if (full) js_resize_canvas(w, h);

    RowBand bands[MaxBands];
    const FitRect fit = FitPicture(TheWindow.layoutWidth, TheWindow.layoutHeight, w, h);
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
