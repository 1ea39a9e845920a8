// SPDX-License-Identifier: GPL-3.0-or-later
// The ways to screens whose pixels SDL cannot give as a window surface: a
// streaming texture of the window's size, copied unscaled; or, for
// colour-mapped screens, Xlib itself. Either way the picture is first
// stretched into a window-sized buffer, and only the rows that changed go on.
#include "platform/sdl/video.h"
#include "platform/sdl/x11_draw.h"

#include "platform/window.h"

namespace {
// The picture fitted into the window-sized buffer of the renderer's and
// Xlib's ways; gives the bands of rows that changed, -1 without memory.
int32_t StretchConverted(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                         int32_t w, int32_t h, bool full, RowBand bands[MaxBands]) {
    if (!ReservePixels(&Video.last, width, height) || !ReservePixels(&Video.converted, w, h))
        return -1;
    const FitRect fit = FitPicture(TheWindow.layoutWidth, TheWindow.layoutHeight, w, h);
    const int32_t count =
        StretchFitted(pixels, width, height, pitch, Video.last.pixels, full,
                      StretchTarget{Video.converted.pixels, w, h, w}, fit, bands, MaxBands);
    TheWindow.redrawAll = false;
    return count;
}
} // namespace

// Xlib's way: the picture stretched into a window-sized buffer, only the
// rows that changed converted to the screen's pixels and put on the window.
void PresentThroughX11(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
    int32_t w = 0, h = 0;
    SDL_GetWindowSizeInPixels(Video.window, &w, &h);
    if (w <= 0 || h <= 0) return;
    const bool full = TheWindow.redrawAll || width != Video.last.width ||
                      height != Video.last.height || w != Video.textureWidth ||
                      h != Video.textureHeight;
    RowBand bands[MaxBands];
    const int32_t count = StretchConverted(pixels, width, height, pitch, w, h, full, bands);
    if (count < 0) return;
    Video.textureWidth = w;
    Video.textureHeight = h;
    for (int32_t i = 0; i < count; ++i)
        X11DrawRows(Video.converted.pixels + static_cast<ptrdiff_t>(bands[i].top) * w, w, h,
                    bands[i].top, bands[i].bottom - bands[i].top);
}

// The renderer's way: the picture stretched into the window-sized texture,
// only the rows that changed sent, then the texture shown.
void PresentThroughRenderer(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
    if (Video.renderer == nullptr) {
        Video.renderer = SDL_CreateRenderer(Video.window, -1, 0);
        if (Video.renderer == nullptr) {
            Video.cannotDraw = true;
            return;
        }
    }
    int32_t w = 0, h = 0;
    if (SDL_GetRendererOutputSize(Video.renderer, &w, &h) != 0 || w <= 0 || h <= 0) return;
    bool full = TheWindow.redrawAll || width != Video.last.width || height != Video.last.height;
    if (Video.texture == nullptr || w != Video.textureWidth || h != Video.textureHeight) {
        if (Video.texture != nullptr) SDL_DestroyTexture(Video.texture);
        Video.texture = SDL_CreateTexture(Video.renderer, SDL_PIXELFORMAT_RGB888,
                                          SDL_TEXTUREACCESS_STREAMING, w, h);
        Video.textureWidth = Video.texture != nullptr ? w : 0;
        Video.textureHeight = Video.texture != nullptr ? h : 0;
        if (Video.texture == nullptr) return;
        full = true;
    }
    RowBand bands[MaxBands];
    const int32_t count = StretchConverted(pixels, width, height, pitch, w, h, full, bands);
    if (count <= 0) return;
    for (int32_t i = 0; i < count; ++i) {
        const SDL_Rect rows{0, bands[i].top, w, bands[i].bottom - bands[i].top};
        SDL_UpdateTexture(Video.texture, &rows,
                          Video.converted.pixels + static_cast<ptrdiff_t>(bands[i].top) * w, w * 4);
    }
    SDL_RenderCopy(Video.renderer, Video.texture, nullptr, nullptr);
    SDL_RenderPresent(Video.renderer);
}