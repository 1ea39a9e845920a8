// SPDX-License-Identifier: GPL-3.0-or-later
// The one window's SDL side, shared by the window surface's way to the
// screen (i_video.cpp) and the other two (video_fallback.cpp).
#pragma once

#include "platform/sdl/desktop.h"
#include "platform/stretch.h"

constexpr int32_t MaxBands = 16;

// The SDL side of the one window (the rest is the shared bookkeeping).
struct VideoState {
    SDL_Window* window;
    int32_t classIcon;
    int32_t smallIconId, smallIconSize;
    // The logical picture last shown, and where it went.
    PixelBuffer last;
    const SDL_Surface* lastSurface;
    // For screens whose pixels are not 0x00RRGGBB: the stretched picture
    // before conversion (or before the texture, with a renderer).
    PixelBuffer converted;
    // Set when the window has no surface to draw into: a renderer draws
    // it, or failing that Xlib itself; or nothing can.
    bool useRenderer, useX11, cannotDraw;
    SDL_Renderer* renderer;
    SDL_Texture* texture;
    int32_t textureWidth, textureHeight;
    // Why SDL was not let try the Wayland compositor; nullptr if it was.
    const char* waylandTrouble;
};
extern VideoState Video;

// Screens that give no window surface: through a streaming texture, or
// with Xlib itself.
void PresentThroughX11(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch);
void PresentThroughRenderer(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch);

// --- i_drivers.cpp ---

// The video systems SDL may try, set before it starts: those with a screen
// to show the window on, never a Wayland compositor SDL would crash on
// (Video.waylandTrouble then says why).
void ChooseDrivers();
// The X screen a display name (host:number.screen) chooses; 0 when it
// names none.
long XScreenNamed(const char* name);
