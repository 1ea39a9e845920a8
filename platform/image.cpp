#include "platform/image.h"

#include <SDL.h>

bool DecodeBitmap(const uint8_t* data, size_t size, PixelAllocator allocate, void* context) {
    if (data == nullptr || size == 0 || size > 0x7FFFFFFF) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (rw == nullptr) return false;
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    if (loaded == nullptr) return false;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(loaded);
    if (rgb == nullptr) return false;

    bool ok = false;
    uint32_t* out = allocate(rgb->w, rgb->h, context);
    if (out != nullptr && SDL_LockSurface(rgb) == 0) {
        for (int y = 0; y < rgb->h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(rgb->pixels) +
                                                                static_cast<ptrdiff_t>(y) * rgb->pitch);
            for (int x = 0; x < rgb->w; ++x) out[y * rgb->w + x] = row[x] & 0x00FFFFFFu;
        }
        SDL_UnlockSurface(rgb);
        ok = true;
    }
    SDL_FreeSurface(rgb);
    return ok;
}
