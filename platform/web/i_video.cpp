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
EM_JS(int, js_lay_out_page, (), {
    var c = document.getElementById("screen");
    var ratio = window.devicePixelRatio || 1;
    var inset = { top: 0, right: 0, bottom: 0, left: 0 };
    var probe = document.getElementById("safe");
    if (probe) {
        var cs = getComputedStyle(probe);
        inset = { top: parseFloat(cs.paddingTop) || 0, right: parseFloat(cs.paddingRight) || 0,
                  bottom: parseFloat(cs.paddingBottom) || 0, left: parseFloat(cs.paddingLeft) || 0 };
    }
    var pageW = document.documentElement.clientWidth || window.innerWidth;
    var pageH = document.documentElement.clientHeight || window.innerHeight;
    var x0 = inset.left, y0 = inset.top;
    var w = Math.max(1, pageW - inset.left - inset.right);
    var h = Math.max(1, pageH - inset.top - inset.bottom);
    var portrait = h >= w;
    var pw = portrait ? 240 : 320, ph = portrait ? 320 : 240;
    // Device pixels, so that the picture's edges fall on the device's.
    var dw = Math.floor(w * ratio), dh = Math.floor(h * ratio);
    var cw = dw, ch = Math.floor(dw * ph / pw);
    if (ch > dh) { ch = dh; cw = Math.floor(dh * pw / ph); }
    cw = Math.max(1, cw); ch = Math.max(1, ch);
    var left = Math.round((x0 + (w - cw / ratio) / 2) * ratio) / ratio;
    var top = Math.round((y0 + (h - ch / ratio) / 2) * ratio) / ratio;
    c.style.left = left + "px";
    c.style.top = top + "px";
    c.style.width = cw / ratio + "px";
    c.style.height = ch / ratio + "px";
    Module.vantleCanvasSize = [cw, ch];

    // The touch controls: two pads, beside the picture in landscape (one
    // for each thumb), side by side below it in portrait; only on a page
    // that can be touched, and only in a band large enough for them.
    var touch = (navigator.maxTouchPoints || 0) > 0 ||
                (window.matchMedia && window.matchMedia("(any-pointer: coarse)").matches);
    var move = document.getElementById("pad-move"), turn = document.getElementById("pad-turn");
    if (!move || !turn) return portrait ? 1 : 0;
    var place = function(pad, l, t, pw2, ph2) {
        var show = touch && pw2 >= 100 && ph2 >= 100;
        pad.style.display = show ? "grid" : "none";
        if (!show) return;
        pad.style.left = l + "px";
        pad.style.top = t + "px";
        pad.style.width = pw2 + "px";
        pad.style.height = ph2 + "px";
    };
    var picW = cw / ratio, picH = ch / ratio;
    if (portrait) {
        var bandTop = top + picH, band = y0 + h - bandTop;
        var height = Math.min(band, 200);
        place(move, x0, bandTop + band - height, w / 2, height);
        place(turn, x0 + w / 2, bandTop + band - height, w / 2, height);
    } else {
        var leftBand = left - x0, rightBand = x0 + w - (left + picW);
        var bandW = Math.min(leftBand, rightBand, 240);
        var padH = Math.min(h, 320);
        place(move, left - bandW, y0 + h - padH, bandW, padH);
        place(turn, left + picW, y0 + h - padH, bandW, padH);
    }
    // The page's offers go where the picture and the controls leave room.
    if (Module.vantleLaidOut) Module.vantleLaidOut();
    return portrait ? 1 : 0;
});

// The canvas's size in device pixels, as last placed.
EM_JS(void, js_canvas_size, (int32_t* width, int32_t* height), {
    var s = Module.vantleCanvasSize || [1, 1];
    HEAP32[width >> 2] = s[0];
    HEAP32[height >> 2] = s[1];
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

// The screen wake lock, taken while a game is played; the browser lets go
// of it itself when the page is hidden (and the game pauses then).
EM_JS(void, js_keep_awake, (int awake), {
    Module.vantleAwake = awake != 0;
    var held = Module.vantleWakeLock;
    if (!awake) {
        if (held && held !== "asking") held.release().catch(function() {});
        if (held !== "asking") Module.vantleWakeLock = null;
        return;
    }
    if (held || !navigator.wakeLock || document.visibilityState != "visible") return;
    Module.vantleWakeLock = "asking";
    navigator.wakeLock.request("screen").then(function(lock) {
        if (!Module.vantleAwake) {
            Module.vantleWakeLock = null;
            lock.release().catch(function() {});
            return;
        }
        Module.vantleWakeLock = lock;
        lock.addEventListener("release", function() {
            if (Module.vantleWakeLock === lock) Module.vantleWakeLock = null;
        });
    }, function() { Module.vantleWakeLock = null; });
});

EM_JS(void, js_show_ended, (), {
    var c = document.getElementById("screen");
    if (c) c.style.display = "none";
    var pads = document.querySelectorAll(".pad");
    for (var i = 0; i < pads.length; i++) pads[i].style.display = "none";
    var e = document.getElementById("ended");
    if (e) e.style.display = "flex";
    if (Module.vantleEnded) Module.vantleEnded();
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
        PlatformPostMessage(WebWindow, MSG_SIZE, 0, 0);
    }
    WindowExposed();
    WakeLoop();
}
}

int32_t VideoPenPosition(double fx, double fy) {
    // The picture fills the canvas: a fraction of it is a fraction of the
    // window.
    const int32_t w = TheWindow.layoutWidth, h = TheWindow.layoutHeight;
    auto at = [](double f, int32_t size) {
        const auto v = static_cast<int32_t>(f * size);
        return v < 0 ? 0 : (v >= size ? size - 1 : v);
    };
    return PackPosition(at(fx, w), at(fy, h));
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
