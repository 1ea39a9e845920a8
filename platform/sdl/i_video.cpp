// The window: borderless over the usable screen, drawn through SDL's window
// surface (no renderer, no OpenGL): the logical picture is stretched straight
// into it, nearest neighbour, and only the rows that changed since the last
// present are stretched and sent to the screen.
#include "platform/sdl/desktop.h"

#include "platform/icon.h"
#include "platform/stretch.h"
#include "platform/timers.h"

#include <cstring>

namespace {
constexpr int32_t MaxBands = 16;

struct VideoState {
    SDL_Window* window;
    WindowProcedure procedure;
    bool alive, destroying;
    bool invalid;                      // a repaint is wanted
    bool redrawAll;                    // the screen lost what was on it
    int32_t layoutWidth, layoutHeight; // real pixels the game laid itself out for
    int32_t classIcon;
    bool smallIcon;
    int32_t smallIconId, smallIconSize;
    // The logical picture last shown, and where it went.
    uint32_t* last;
    int32_t lastWidth, lastHeight;
    const SDL_Surface* lastSurface;
    // For screens whose pixels are not 0x00RRGGBB: the stretched picture
    // before conversion.
    uint32_t* converted;
    int32_t convertedWidth, convertedHeight;
};
VideoState Video;

uint32_t IconPixels[MaxIconSize * MaxIconSize];

// SDL keeps one icon per window: the class's 32 x 32 one when there is one,
// else the small one.
void ApplyIcon() {
    if (Video.window == nullptr) return;
    int32_t size = 0;
    if (Video.classIcon != 0 && DecodeIconResource(Video.classIcon, 32, IconPixels))
        size = 32;
    else if (Video.smallIcon && DecodeIconResource(Video.smallIconId, Video.smallIconSize, IconPixels))
        size = Video.smallIconSize;
    if (size == 0) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(IconPixels, size, size, 32, size * 4,
                                                              SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(Video.window, surface);
    SDL_FreeSurface(surface);
}

void FreePictures() {
    SDL_free(Video.last);
    SDL_free(Video.converted);
    Video.last = Video.converted = nullptr;
    Video.lastWidth = Video.lastHeight = 0;
    Video.convertedWidth = Video.convertedHeight = 0;
    Video.lastSurface = nullptr;
}

// Storage of width x height pixels in `buffer`, kept while the size stays.
bool Reserve(uint32_t** buffer, int32_t* width, int32_t* height, int32_t w, int32_t h) {
    if (*buffer != nullptr && *width == w && *height == h) return true;
    SDL_free(*buffer);
    *buffer = static_cast<uint32_t*>(
        SDL_malloc(sizeof(uint32_t) * static_cast<size_t>(w) * static_cast<size_t>(h)));
    *width = *buffer != nullptr ? w : 0;
    *height = *buffer != nullptr ? h : 0;
    return *buffer != nullptr;
}

} // namespace

WindowProcedure VideoProcedure() {
    return Video.alive ? Video.procedure : nullptr;
}

bool VideoTakePaint() {
    if (!Video.alive || !Video.invalid) return false;
    Video.invalid = false;
    return true;
}

void VideoWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        Video.redrawAll = true;
        Video.invalid = true;
        break;
    default: break;
    }
}

PenScale VideoPenScale() {
    PenScale s{Video.layoutWidth, Video.layoutHeight, Video.layoutWidth, Video.layoutHeight};
    if (Video.window != nullptr) SDL_GetWindowSize(Video.window, &s.windowWidth, &s.windowHeight);
    return s;
}

Window PlatformCreateWindow(const char* title, WindowProcedure procedure) {
    if (procedure == nullptr || Video.window != nullptr) return 0;
    // SDL's own framebuffer over X shared memory: the accelerated one would
    // load the whole OpenGL stack to show a few hundred thousand pixels.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Closing the window is a message to the game, not the end of SDL.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A puzzle left at its title screen need not keep the screen awake.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Only systems with a screen to show the window on, in SDL's order;
    // without one SDL would fall back to drawing nowhere. The player may
    // still name any driver in SDL_VIDEODRIVER.
    if (SDL_GetHint(SDL_HINT_VIDEODRIVER) == nullptr) {
        char drivers[32] = "";
        if (SDL_getenv("DISPLAY") != nullptr) SDL_strlcat(drivers, "x11,", sizeof drivers);
        if (SDL_getenv("WAYLAND_DISPLAY") != nullptr)
            SDL_strlcat(drivers, "wayland,", sizeof drivers);
        SDL_strlcat(drivers, "KMSDRM", sizeof drivers);
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers);
    }
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
    // No text input: keys are all the game reads.
    SDL_StopTextInput();

    // The size in real pixels is the window surface's.
    int32_t width = 0, height = 0;
    if (const SDL_Surface* surface = SDL_GetWindowSurface(window)) {
        width = surface->w;
        height = surface->h;
    } else {
        SDL_GetWindowSizeInPixels(window, &width, &height);
    }
    Video.window = window;
    Video.procedure = procedure;
    Video.alive = true;
    Video.destroying = false;
    Video.invalid = true; // a new window has everything to paint
    Video.redrawAll = true;
    Video.layoutWidth = width;
    Video.layoutHeight = height;
    Video.smallIcon = false;
    ApplyIcon();
    if (procedure(DesktopWindow, MSG_CREATE, 0, 0) == -1) {
        PlatformDestroyWindow(DesktopWindow);
        return 0;
    }
    return DesktopWindow;
}

void PlatformWindowSize(Window, int32_t* width, int32_t* height) {
    *width = Video.layoutWidth;
    *height = Video.layoutHeight;
    if (Video.window == nullptr) return;
    if (const SDL_Surface* surface = SDL_GetWindowSurface(Video.window)) {
        *width = surface->w;
        *height = surface->h;
    }
}

void PlatformShowWindow(Window) {
    if (Video.window != nullptr) SDL_ShowWindow(Video.window);
}

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
    SDL_DestroyWindow(Video.window);
    Video.window = nullptr;
    FreePictures();
}

bool PlatformWindowAlive(Window) {
    return Video.alive;
}

bool PlatformHasSmallIcon(Window) {
    return Video.smallIcon;
}

void PlatformSetSmallIcon(Window, int32_t iconId, int32_t size) {
    if (size <= 0 || size > MaxIconSize) return;
    Video.smallIcon = true;
    Video.smallIconId = iconId;
    Video.smallIconSize = size;
    ApplyIcon();
}

void PlatformSetClassIcon(int32_t iconId) {
    Video.classIcon = iconId;
    ApplyIcon();
}

void PlatformPresent(Window, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
    if (!Video.alive || pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return;
    SDL_Surface* surface = SDL_GetWindowSurface(Video.window);
    if (surface == nullptr || surface->w <= 0 || surface->h <= 0) return;

    bool full = Video.redrawAll || surface != Video.lastSurface || width != Video.lastWidth ||
                height != Video.lastHeight;
    if (!Reserve(&Video.last, &Video.lastWidth, &Video.lastHeight, width, height)) return;
    // The screen's own pixels when they are 0x00RRGGBB, else a picture to
    // convert from.
    const bool direct = surface->format->format == SDL_PIXELFORMAT_RGB888;
    StretchTarget target{};
    if (direct) {
        target = StretchTarget{static_cast<uint32_t*>(surface->pixels), surface->w, surface->h,
                               surface->pitch / 4};
    } else {
        const bool had = Video.converted != nullptr && Video.convertedWidth == surface->w &&
                         Video.convertedHeight == surface->h;
        if (!Reserve(&Video.converted, &Video.convertedWidth, &Video.convertedHeight, surface->w,
                     surface->h))
            return;
        full = full || !had;
        target = StretchTarget{Video.converted, surface->w, surface->h, surface->w};
    }

    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    RowBand bands[MaxBands];
    const int32_t count =
        StretchChanged(pixels, width, height, pitch, Video.last, full, target, bands, MaxBands);
    SDL_Rect rects[MaxBands];
    for (int32_t i = 0; i < count; ++i) {
        const int32_t rows = bands[i].bottom - bands[i].top;
        rects[i] = SDL_Rect{0, bands[i].top, surface->w, rows};
        if (!direct)
            SDL_ConvertPixels(surface->w, rows, SDL_PIXELFORMAT_RGB888,
                              Video.converted + static_cast<ptrdiff_t>(bands[i].top) * surface->w,
                              surface->w * 4, surface->format->format,
                              static_cast<uint8_t*>(surface->pixels) +
                                  static_cast<ptrdiff_t>(bands[i].top) * surface->pitch,
                              surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);

    Video.lastSurface = surface;
    Video.redrawAll = false;
    if (count > 0) SDL_UpdateWindowSurfaceRects(Video.window, rects, count);
}
