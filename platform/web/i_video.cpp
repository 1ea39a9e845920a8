// The window is the page's canvas, as large as the page in device pixels:
// the logical picture is stretched into the canvas's own pixels by the
// game's one stretch, nearest neighbour, and only the rows that changed
// since the last present are stretched and put on the page, so a picture
// that stands still costs the page nothing. The game lays itself out for
// the page's size at load; a later change of size is shown stretched, as
// on the desktop. When the window is destroyed the page says so.
#include "platform/web/web.h"

#include "platform/stretch.h"
#include "platform/timers.h"

#include <emscripten.h>

#include <cstdlib>

namespace {
constexpr int32_t MaxBands = 16;

struct VideoState {
    WindowProcedure procedure;
    bool alive, destroying;
    bool invalid;                      // a repaint is wanted
    bool redrawAll;                    // the canvas lost what was on it
    int32_t layoutWidth, layoutHeight; // device pixels the game laid itself out for
    bool smallIcon;
    // The logical picture last shown.
    uint32_t* last;
    int32_t lastWidth, lastHeight;
    // The canvas's pixels, red, green, blue and alpha bytes.
    uint32_t* canvas;
    int32_t canvasWidth, canvasHeight;
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
    std::free(Video.last);
    std::free(Video.canvas);
    Video.last = Video.canvas = nullptr;
    Video.lastWidth = Video.lastHeight = Video.canvasWidth = Video.canvasHeight = 0;
}

// Storage of width x height pixels in `buffer`, kept while the size stays.
bool Reserve(uint32_t** buffer, int32_t* width, int32_t* height, int32_t w, int32_t h) {
    if (*buffer != nullptr && *width == w && *height == h) return true;
    std::free(*buffer);
    *buffer = static_cast<uint32_t*>(
        std::malloc(sizeof(uint32_t) * static_cast<size_t>(w) * static_cast<size_t>(h)));
    *width = *buffer != nullptr ? w : 0;
    *height = *buffer != nullptr ? h : 0;
    return *buffer != nullptr;
}

// 0x00RRGGBB pixels to the canvas's bytes: red, green, blue, opaque.
void ToCanvasBytes(uint32_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        pixels[i] = 0xFF000000u | (p & 0xFFu) << 16 | (p & 0xFF00u) | (p >> 16 & 0xFFu);
    }
}

int32_t Clamp(int32_t v, int32_t limit) {
    if (v < 0) return 0;
    return v >= limit ? (limit > 0 ? limit - 1 : 0) : v;
}
} // namespace

extern "C" {
// The page changed its size: everything is shown anew, stretched to it.
EMSCRIPTEN_KEEPALIVE void WebResized() {
    if (!Video.alive) return;
    Video.redrawAll = true;
    Video.invalid = true;
    WakeLoop();
}
}

WindowProcedure VideoProcedure() {
    return Video.alive ? Video.procedure : nullptr;
}

bool VideoTakePaint() {
    if (!Video.alive || !Video.invalid) return false;
    Video.invalid = false;
    return true;
}

int32_t VideoPenPosition(double fx, double fy) {
    return PackPosition(Clamp(static_cast<int32_t>(fx * Video.layoutWidth), Video.layoutWidth),
                        Clamp(static_cast<int32_t>(fy * Video.layoutHeight), Video.layoutHeight));
}

Window PlatformCreateWindow(const char* title, WindowProcedure procedure) {
    if (procedure == nullptr || Video.alive) return 0;
    js_set_title(title != nullptr ? title : "");
    int32_t width = 0, height = 0;
    js_canvas_size(&width, &height);
    Video.procedure = procedure;
    Video.alive = true;
    Video.destroying = false;
    Video.invalid = true; // a new window has everything to paint
    Video.redrawAll = true;
    Video.layoutWidth = width;
    Video.layoutHeight = height;
    Video.smallIcon = false;
    EventsListen();
    if (procedure(WebWindow, MSG_CREATE, 0, 0) == -1) {
        PlatformDestroyWindow(WebWindow);
        return 0;
    }
    return WebWindow;
}

void PlatformWindowSize(Window, int32_t* width, int32_t* height) {
    *width = Video.layoutWidth;
    *height = Video.layoutHeight;
}

void PlatformShowWindow(Window) {}

void PlatformUpdateWindow(Window window) {
    if (VideoTakePaint()) Video.procedure(window, MSG_PAINT, 0, 0);
}

void PlatformInvalidate(Window) {
    if (Video.alive) Video.invalid = true;
}

void PlatformDestroyWindow(Window window) {
    if (!Video.alive || Video.destroying) return;
    Video.destroying = true;
    Video.procedure(window, MSG_DESTROY, 0, 0);
    TimerKillAll(window);
    Video.alive = false;
    Video.procedure = nullptr;
    FreePictures();
    // The settings the destruction saved go to the browser's storage, and
    // the page says the game has ended.
    StorageSave();
    js_show_ended();
}

bool PlatformWindowAlive(Window) {
    return Video.alive;
}

// The page's icons are its manifest's.
bool PlatformHasSmallIcon(Window) {
    return Video.smallIcon;
}

void PlatformSetSmallIcon(Window, int32_t, int32_t) {
    Video.smallIcon = true;
}

void PlatformSetClassIcon(int32_t) {}

void PlatformPresent(Window, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
    if (!Video.alive || pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return;
    int32_t w = Video.canvasWidth, h = Video.canvasHeight;
    bool full = Video.redrawAll || width != Video.lastWidth || height != Video.lastHeight;
    if (full) js_canvas_size(&w, &h);
    if (w != Video.canvasWidth || h != Video.canvasHeight) full = true;
    if (!Reserve(&Video.last, &Video.lastWidth, &Video.lastHeight, width, height) ||
        !Reserve(&Video.canvas, &Video.canvasWidth, &Video.canvasHeight, w, h))
        return;
    if (full) js_resize_canvas(w, h);

    RowBand bands[MaxBands];
    const int32_t count = StretchChanged(pixels, width, height, pitch, Video.last, full,
                                         StretchTarget{Video.canvas, w, h, w}, bands, MaxBands);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t rows = bands[i].bottom - bands[i].top;
        ToCanvasBytes(Video.canvas + static_cast<size_t>(bands[i].top) * static_cast<size_t>(w),
                      static_cast<size_t>(rows) * static_cast<size_t>(w));
        js_put_rows(Video.canvas, w, bands[i].top, rows);
    }
    Video.redrawAll = false;
}
