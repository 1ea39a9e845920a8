// The window: borderless over the usable screen, drawn through SDL's window
// surface (no renderer, no OpenGL): the logical picture is stretched straight
// into it, nearest neighbour, and only the rows that changed since the last
// present are stretched and sent to the screen.
#include "platform/sdl_internal.h"

#include "platform/resources.h"

#include <cstring>

namespace {
constexpr int32_t MaxBands = 16;
constexpr int32_t MaxIconSize = 64;

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

uint16_t Word(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Dword(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// One image of an icon file: a bitmap header, its palette, the colour
// bits and the transparency mask, rows bottom-up, each padded to 4 bytes.
struct IconImage {
    const uint8_t* header;
    size_t size;
    int32_t bits;
};

bool ReadIconImage(const uint8_t* data, size_t dataSize, uint32_t offset, uint32_t bytes,
                   int32_t want, IconImage* image) {
    if (offset > dataSize || bytes > dataSize - offset || bytes < 40) return false;
    const uint8_t* h = data + offset;
    const uint32_t headerSize = Dword(h);
    const auto width = static_cast<int32_t>(Dword(h + 4));
    const auto height = static_cast<int32_t>(Dword(h + 8));
    const int32_t bits = Word(h + 14);
    const uint32_t compression = Dword(h + 16);
    // The height counts the colour bits and the mask together.
    if (headerSize < 40 || headerSize > bytes || width != want || height != 2 * want ||
        compression != 0)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    const uint32_t colours = bits <= 8 ? (Dword(h + 32) != 0 ? Dword(h + 32) : 1u << bits) : 0;
    if (colours > 256) return false;
    const size_t xorStride = static_cast<size_t>((want * bits + 31) / 32) * 4;
    const size_t andStride = static_cast<size_t>((want + 31) / 32) * 4;
    const size_t need =
        headerSize + colours * 4 + (xorStride + andStride) * static_cast<size_t>(want);
    if (need > bytes) return false;
    *image = IconImage{h, bytes, bits};
    return true;
}

void DecodeIconImage(const IconImage& image, int32_t want, uint32_t* argb) {
    const uint8_t* h = image.header;
    const uint32_t headerSize = Dword(h);
    const int32_t bits = image.bits;
    const uint32_t colours = bits <= 8 ? (Dword(h + 32) != 0 ? Dword(h + 32) : 1u << bits) : 0;
    const uint8_t* palette = h + headerSize;
    const uint8_t* xorBits = palette + colours * 4;
    const size_t xorStride = static_cast<size_t>((want * bits + 31) / 32) * 4;
    const size_t andStride = static_cast<size_t>((want + 31) / 32) * 4;
    const uint8_t* andBits = xorBits + xorStride * static_cast<size_t>(want);

    // A 32-bit image may carry its own alpha; one whose alpha is all zero
    // is an old one that relies on the mask alone.
    bool ownAlpha = false;
    if (bits == 32)
        for (size_t i = 3; i < xorStride * static_cast<size_t>(want); i += 4)
            if (xorBits[i] != 0) ownAlpha = true;

    for (int32_t y = 0; y < want; ++y) {
        const size_t row = static_cast<size_t>(want - 1 - y); // stored bottom-up
        const uint8_t* colourRow = xorBits + row * xorStride;
        const uint8_t* maskRow = andBits + row * andStride;
        for (int32_t x = 0; x < want; ++x) {
            uint32_t rgb = 0, alpha = 255;
            if (bits <= 8) {
                const int32_t bit = x * bits;
                const uint32_t index =
                    (colourRow[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index < colours) {
                    const uint8_t* c = palette + index * 4;
                    rgb =
                        static_cast<uint32_t>(c[2]) << 16 | static_cast<uint32_t>(c[1]) << 8 | c[0];
                }
            } else {
                const uint8_t* c = colourRow + static_cast<size_t>(x) * (bits / 8);
                rgb = static_cast<uint32_t>(c[2]) << 16 | static_cast<uint32_t>(c[1]) << 8 | c[0];
                if (ownAlpha) alpha = c[3];
            }
            // A set mask bit lets the screen show through.
            if ((maskRow[x / 8] >> (7 - x % 8)) & 1) alpha = 0;
            argb[y * want + x] = alpha << 24 | rgb;
        }
    }
}

bool DecodeIconResource(int32_t id, int32_t size) {
    const ResourceBytes icon = FindResource(RES_ICON_GROUP, id);
    return DecodeIcon(icon.Data, icon.Size, size, IconPixels);
}

// SDL keeps one icon per window: the class's 32 x 32 one when there is one,
// else the small one.
void ApplyIcon() {
    if (Video.window == nullptr) return;
    int32_t size = 0;
    if (Video.classIcon != 0 && DecodeIconResource(Video.classIcon, 32))
        size = 32;
    else if (Video.smallIcon && DecodeIconResource(Video.smallIconId, Video.smallIconSize))
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

// One window row: source pixel x * width / target width, stepped without
// dividing.
void StretchRow(const uint32_t* source, int32_t width, uint32_t* target, int32_t targetWidth) {
    int32_t sx = 0, error = 0;
    for (int32_t x = 0; x < targetWidth; ++x) {
        target[x] = source[sx];
        error += width;
        while (error >= targetWidth) {
            error -= targetWidth;
            ++sx;
        }
    }
}
} // namespace

int32_t StretchChanged(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                       uint32_t* last, bool full, const StretchTarget& target, RowBand* bands,
                       int32_t maxBands) {
    if (width <= 0 || height <= 0 || target.width <= 0 || target.height <= 0 || maxBands <= 0)
        return 0;
    const size_t rowBytes = sizeof(uint32_t) * static_cast<size_t>(width);
    int32_t count = 0;
    int32_t source = -1;
    bool drawn = false;
    int32_t sy = 0, error = 0;
    for (int32_t y = 0; y < target.height; ++y) {
        uint32_t* row = target.pixels + static_cast<ptrdiff_t>(y) * target.pitch;
        if (sy != source) {
            // The first window row of a source row: stretch it if it changed.
            source = sy;
            const uint32_t* in = pixels + static_cast<ptrdiff_t>(sy) * pitch;
            uint32_t* kept = last + static_cast<ptrdiff_t>(sy) * width;
            drawn = full || std::memcmp(in, kept, rowBytes) != 0;
            if (drawn) {
                std::memcpy(kept, in, rowBytes);
                StretchRow(in, width, row, target.width);
            }
        } else if (drawn) {
            std::memcpy(row, row - target.pitch,
                        sizeof(uint32_t) * static_cast<size_t>(target.width));
        }
        if (drawn) {
            if (count > 0 && bands[count - 1].bottom == y)
                bands[count - 1].bottom = y + 1;
            else if (count < maxBands)
                bands[count++] = RowBand{y, y + 1};
            else
                bands[count - 1].bottom = y + 1; // out of bands: the last one grows
        }
        error += height;
        while (error >= target.height) {
            error -= target.height;
            ++sy;
        }
    }
    return count;
}

bool DecodeIcon(const uint8_t* data, size_t dataSize, int32_t size, uint32_t* argb) {
    if (data == nullptr || dataSize < 6 || size <= 0 || size > 256) return false;
    if (Word(data) != 0 || Word(data + 2) != 1) return false;
    const int32_t count = Word(data + 4);
    IconImage best{nullptr, 0, 0};
    for (int32_t i = 0; i < count; ++i) {
        const size_t at = 6 + static_cast<size_t>(i) * 16;
        if (at + 16 > dataSize) break;
        const uint8_t* e = data + at;
        const int32_t w = e[0] != 0 ? e[0] : 256, h = e[1] != 0 ? e[1] : 256;
        IconImage image{};
        if (w != size || h != size ||
            !ReadIconImage(data, dataSize, Dword(e + 12), Dword(e + 8), size, &image))
            continue;
        if (image.bits > best.bits) best = image;
    }
    if (best.header == nullptr) return false;
    DecodeIconImage(best, size, argb);
    return true;
}

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
