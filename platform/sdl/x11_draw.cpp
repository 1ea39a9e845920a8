// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/x11_draw.h"

#ifdef VANTLE_X11

#include <SDL.h>
#include <SDL_syswm.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>

namespace {
constexpr int32_t Levels = 6; // a 6 x 6 x 6 colour cube on colour-mapped screens

struct X11DrawState {
    Display* display;
    ::Window window;
    GC gc;
    Visual* visual;
    int32_t depth;
    bool trueColor;
    unsigned long masks[3];
    unsigned long cube[Levels * Levels * Levels];
    XImage* image; // of the window's size, over `bytes`
    char* bytes;
};
X11DrawState X11;

int32_t Shift(unsigned long mask) {
    int32_t s = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++s;
    }
    return s;
}

// One 8-bit channel into its bits of a true-colour pixel.
unsigned long Channel(uint32_t v, unsigned long mask) {
    const int32_t s = Shift(mask);
    const unsigned long top = mask >> s;
    return ((v * top + 127) / 255) << s;
}

unsigned long PixelOf(uint32_t rgb) {
    const uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    if (X11.trueColor)
        return Channel(r, X11.masks[0]) | Channel(g, X11.masks[1]) | Channel(b, X11.masks[2]);
    const auto level = [](uint32_t v) { return (v * (Levels - 1) + 127) / 255; };
    return X11.cube[(level(r) * Levels + level(g)) * Levels + level(b)];
}

void FreeImage() {
    if (X11.image != nullptr) {
        X11.image->data = nullptr; // ours, freed below
        XDestroyImage(X11.image);
    }
    std::free(X11.bytes);
    X11.image = nullptr;
    X11.bytes = nullptr;
}

bool ReserveImage(int32_t width, int32_t height) {
    if (X11.image != nullptr && X11.image->width == width && X11.image->height == height)
        return true;
    FreeImage();
    X11.bytes = static_cast<char*>(
        std::malloc(static_cast<size_t>(width) * static_cast<size_t>(height) * 4));
    if (X11.bytes == nullptr) return false;
    X11.image =
        XCreateImage(X11.display, X11.visual, static_cast<unsigned>(X11.depth), ZPixmap, 0,
                     X11.bytes, static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (X11.image == nullptr) {
        std::free(X11.bytes);
        X11.bytes = nullptr;
        return false;
    }
    return true;
}
} // namespace

bool X11DrawStart(SDL_Window* window) {
    X11DrawStop();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return false;
    X11.display = info.info.x11.display;
    X11.window = info.info.x11.window;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(X11.display, X11.window, &attributes) == 0) return false;
    // True-colour screens are SDL's to draw.
    if (attributes.visual->c_class == TrueColor) return false;
    X11.visual = attributes.visual;
    X11.depth = attributes.depth;
    // Direct colour: SDL gave the window a colour map that maps each
    // channel straight through.
    X11.trueColor = attributes.visual->c_class == DirectColor;
    X11.masks[0] = attributes.visual->red_mask;
    X11.masks[1] = attributes.visual->green_mask;
    X11.masks[2] = attributes.visual->blue_mask;
    if (!X11.trueColor) {
        // The screen's own colour map, which is the one shown without a
        // window manager to install another: the window takes it when it
        // can, and the colours are allocated in whichever it has.
        const int screen = XScreenNumberOfScreen(attributes.screen);
        if (attributes.visual == DefaultVisual(X11.display, screen) &&
            attributes.colormap != DefaultColormap(X11.display, screen)) {
            attributes.colormap = DefaultColormap(X11.display, screen);
            XSetWindowColormap(X11.display, X11.window, attributes.colormap);
        }
        // The nearest colours the colour map has (or gives us) to a cube of
        // 216.
        for (int32_t i = 0; i < Levels * Levels * Levels; ++i) {
            const auto value = [](int32_t level) {
                return static_cast<unsigned short>(level * 65535 / (Levels - 1));
            };
            XColor c{};
            c.red = value(i / (Levels * Levels));
            c.green = value(i / Levels % Levels);
            c.blue = value(i % Levels);
            c.flags = DoRed | DoGreen | DoBlue;
            X11.cube[i] = XAllocColor(X11.display, attributes.colormap, &c) != 0
                              ? c.pixel
                              : BlackPixel(X11.display, screen);
        }
    }
    if (X11.trueColor &&
        (attributes.visual->red_mask >> Shift(attributes.visual->red_mask)) < 255) {
        // SDL's ramp for a direct-colour map assumes as many levels of blue
        // as of red; each channel gets its own, black to full, here.
        for (const unsigned long mask : X11.masks) {
            const int32_t shift = Shift(mask);
            const unsigned long top = mask >> shift;
            for (unsigned long i = 0; i <= top; ++i) {
                XColor c{};
                c.pixel = i << shift;
                const auto v = static_cast<unsigned short>(i * 65535 / (top > 0 ? top : 1));
                c.red = c.green = c.blue = v;
                c.flags = static_cast<char>(mask == X11.masks[0]   ? DoRed
                                            : mask == X11.masks[1] ? DoGreen
                                                                   : DoBlue);
                XStoreColor(X11.display, attributes.colormap, &c);
            }
        }
    }
    // A screen shows one colour map at a time, which a window manager
    // installs for the window in focus; without one, the window's would
    // never be shown.
    if (attributes.map_installed == False) XInstallColormap(X11.display, attributes.colormap);
    X11.gc = XCreateGC(X11.display, X11.window, 0, nullptr);
    return X11.gc != nullptr;
}

void X11DrawRows(const uint32_t* pixels, int32_t width, int32_t height, int32_t top, int32_t rows) {
    if (X11.gc == nullptr || !ReserveImage(width, height)) return;
    XImage* image = X11.image;
    for (int32_t y = top; y < top + rows; ++y) {
        const uint32_t* in = pixels + static_cast<ptrdiff_t>(y - top) * width;
        char* out = image->data + static_cast<ptrdiff_t>(y) * image->bytes_per_line;
        if (image->bits_per_pixel == 8) {
            for (int32_t x = 0; x < width; ++x) out[x] = static_cast<char>(PixelOf(in[x]));
        } else {
            for (int32_t x = 0; x < width; ++x) XPutPixel(image, x, y, PixelOf(in[x]));
        }
    }
    XPutImage(X11.display, X11.window, X11.gc, image, 0, top, 0, top, static_cast<unsigned>(width),
              static_cast<unsigned>(rows));
    XFlush(X11.display);
}

void X11DrawStop() {
    FreeImage();
    if (X11.gc != nullptr) XFreeGC(X11.display, X11.gc);
    X11 = X11DrawState{};
}

unsigned long X11WindowId(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return 0;
    return info.info.x11.window;
}

#else

unsigned long X11WindowId(SDL_Window*) { return 0; }
bool X11DrawStart(SDL_Window*) { return false; }
void X11DrawRows(const uint32_t*, int32_t, int32_t, int32_t, int32_t) {}
void X11DrawStop() {}

#endif
