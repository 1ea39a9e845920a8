// SPDX-License-Identifier: GPL-3.0-or-later
// The window: borderless over the usable screen, drawn through SDL's window
// surface (no renderer, no OpenGL): the logical picture is stretched straight
// into it, nearest neighbour, and only the rows that changed since the last
// present are stretched and sent to the screen. Screens whose pixels SDL
// cannot give as a window surface (30 bits a pixel, say) are drawn through
// a renderer instead: the stretched picture goes into a streaming texture of
// the window's size, which is copied to the window unscaled. Colour-mapped
// screens (8 bits a pixel), which have no renderer either, are drawn with
// Xlib itself (x11_draw.h).
#include "platform/sdl/video.h"
#include "platform/sdl/x11_draw.h"

#include "platform/icon.h"
#include "platform/window.h"

#include <cstdlib>
#include <cstring>

VideoState Video;

namespace {
uint32_t IconPixels[MaxIconSize * MaxIconSize];

// SDL keeps one icon per window: the class's 32 x 32 one when there is one,
// else the small one.
void ApplyIcon() {
    if (Video.window == nullptr) return;
    int32_t size = 0;
    if (Video.classIcon != 0 && DecodeIconResource(Video.classIcon, 32, IconPixels))
        size = 32;
    else if (TheWindow.smallIcon &&
             DecodeIconResource(Video.smallIconId, Video.smallIconSize, IconPixels))
        size = Video.smallIconSize;
    if (size == 0) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(IconPixels, size, size, 32, size * 4,
                                                              SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(Video.window, surface);
    SDL_FreeSurface(surface);
}

void FreePictures() {
    FreePixels(&Video.last);
    FreePixels(&Video.converted);
    Video.lastSurface = nullptr;
    if (Video.texture != nullptr) SDL_DestroyTexture(Video.texture);
    if (Video.renderer != nullptr) SDL_DestroyRenderer(Video.renderer);
    if (Video.useX11) X11DrawStop();
    Video.useX11 = false;
    Video.texture = nullptr;
    Video.renderer = nullptr;
    Video.textureWidth = Video.textureHeight = 0;
}
} // namespace

void VideoWindowEvent(const SDL_WindowEvent& event) {
    if (event.event == SDL_WINDOWEVENT_EXPOSED || event.event == SDL_WINDOWEVENT_SIZE_CHANGED)
        WindowExposed();
}

PenScale VideoPenScale() {
    const int32_t w = TheWindow.layoutWidth, h = TheWindow.layoutHeight;
    PenScale s{w, h, w, h, w, h};
    if (Video.window == nullptr) return s;
    SDL_GetWindowSize(Video.window, &s.windowWidth, &s.windowHeight);
    PlatformWindowSize(DesktopWindow, &s.pixelWidth, &s.pixelHeight);
    return s;
}

Window PlatformCreateWindow(const char* title, WindowProcedure procedure) {
    if (procedure == nullptr || Video.window != nullptr) return 0;
    // SDL's own framebuffer over X shared memory: the accelerated one would
    // load the whole OpenGL stack to show a few hundred thousand pixels.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Closing the window is an event to the game, not the end of SDL.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A puzzle left at its title screen need not keep the screen awake.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // A window meant for the Wayland compositor has no frame for libdecor
    // to draw, and without its plug-ins libdecor only complains.
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");
    // SDL 2.26 puts a window on the X screen of the first display that
    // holds its centre, its displays being XRandR's monitors: the primary
    // one of the screen DISPLAY names if one is set, then every monitor of
    // screen 0, of screen 1, and so on. Every screen's coordinates start at
    // 0,0, so a window meant for screen 1 lands on screen 0. Without XRandR
    // SDL has one display: the screen DISPLAY names.
    if (XScreenNamed(SDL_getenv("DISPLAY")) > 0) SDL_SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) ChooseDrivers();
    if (!StartSdl(SDL_INIT_VIDEO)) return 0;
    // Controllers with the window: none plugged in, none opened.
    PadStart();

    SDL_Rect bounds{};
    if (SDL_GetDisplayUsableBounds(0, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0) {
        if (SDL_GetDisplayBounds(0, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0) return 0;
    }
    SDL_Window* window =
        SDL_CreateWindow(title != nullptr ? title : "", bounds.x, bounds.y, bounds.w, bounds.h,
                         SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window == nullptr) return 0;
    WatchWindow(X11WindowId(window));
    // No text input: keys are all the game reads.
    SDL_StopTextInput();

    // The size in real pixels is the window surface's; without one, Xlib
    // or a renderer draws the window.
    int32_t width = 0, height = 0;
    Video.useRenderer = false;
    if (const SDL_Surface* surface = SDL_GetWindowSurface(window)) {
        width = surface->w;
        height = surface->h;
    } else {
        // Colour-mapped screens (8 bits a pixel) have no renderer either:
        // Xlib draws them.
        Video.useX11 = X11DrawStart(window);
        Video.useRenderer = !Video.useX11;
        Video.cannotDraw = false;
        SDL_GetWindowSizeInPixels(window, &width, &height);
    }
    Video.window = window;
    TheWindow.smallIcon = false;
    ApplyIcon();
    return WindowCreated(procedure, width, height) ? DesktopWindow : 0;
}

void PlatformWindowSize(Window, int32_t* width, int32_t* height) {
    *width = TheWindow.layoutWidth;
    *height = TheWindow.layoutHeight;
    if (Video.window == nullptr) return;
    if (Video.useRenderer || Video.useX11) {
        SDL_GetWindowSizeInPixels(Video.window, width, height);
    } else if (const SDL_Surface* surface = SDL_GetWindowSurface(Video.window)) {
        *width = surface->w;
        *height = surface->h;
    }
}

void PlatformShowWindow(Window) {
    if (Video.window != nullptr) SDL_ShowWindow(Video.window);
}

void PlatformDestroyWindow(Window window) {
    if (!WindowDestroy(window)) return;
    // The renderer and its texture go before their window.
    FreePictures();
    SDL_DestroyWindow(Video.window);
    Video.window = nullptr;
}

void PlatformSetSmallIcon(Window, int32_t iconId, int32_t size) {
    if (size <= 0 || size > MaxIconSize) return;
    TheWindow.smallIcon = true;
    Video.smallIconId = iconId;
    Video.smallIconSize = size;
    ApplyIcon();
}

void PlatformSetClassIcon(int32_t iconId) {
    Video.classIcon = iconId;
    ApplyIcon();
}

void PlatformPresent(Window, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
    if (!TheWindow.alive || pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return;
    if (Video.useX11) {
        PresentThroughX11(pixels, width, height, pitch);
        return;
    }
    if (Video.useRenderer) {
        if (!Video.cannotDraw) PresentThroughRenderer(pixels, width, height, pitch);
        return;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(Video.window);
    if (surface == nullptr || surface->w <= 0 || surface->h <= 0) return;

    bool full = TheWindow.redrawAll || surface != Video.lastSurface || width != Video.last.width ||
                height != Video.last.height;
    if (!ReservePixels(&Video.last, width, height)) return;
    // The screen's own pixels when they are 0x00RRGGBB, else a picture to
    // convert from.
    const bool direct = surface->format->format == SDL_PIXELFORMAT_RGB888;
    StretchTarget target{};
    if (direct) {
        target = StretchTarget{static_cast<uint32_t*>(surface->pixels), surface->w, surface->h,
                               surface->pitch / 4};
    } else {
        const bool had = Video.converted.pixels != nullptr && Video.converted.width == surface->w &&
                         Video.converted.height == surface->h;
        if (!ReservePixels(&Video.converted, surface->w, surface->h)) return;
        full = full || !had;
        target = StretchTarget{Video.converted.pixels, surface->w, surface->h, surface->w};
    }

    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    // After a change of size the picture keeps its shape, black around it.
    const FitRect fit =
        FitPicture(TheWindow.layoutWidth, TheWindow.layoutHeight, surface->w, surface->h);
    RowBand bands[MaxBands];
    const int32_t count = StretchFitted(pixels, width, height, pitch, Video.last.pixels, full,
                                        target, fit, bands, MaxBands);
    SDL_Rect rects[MaxBands];
    for (int32_t i = 0; i < count; ++i) {
        const int32_t rows = bands[i].bottom - bands[i].top;
        rects[i] = SDL_Rect{0, bands[i].top, surface->w, rows};
        if (!direct)
            SDL_ConvertPixels(surface->w, rows, SDL_PIXELFORMAT_RGB888,
                              Video.converted.pixels +
                                  static_cast<ptrdiff_t>(bands[i].top) * surface->w,
                              surface->w * 4, surface->format->format,
                              static_cast<uint8_t*>(surface->pixels) +
                                  static_cast<ptrdiff_t>(bands[i].top) * surface->pitch,
                              surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);

    Video.lastSurface = surface;
    TheWindow.redrawAll = false;
    if (count > 0) SDL_UpdateWindowSurfaceRects(Video.window, rects, count);
}
