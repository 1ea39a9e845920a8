#include "platform/stretch.h"

#include <cstddef>
#include <cstring>

void StretchRow(const uint32_t* source, int32_t sourceWidth, uint32_t* target, int32_t targetWidth,
                int32_t first, int32_t count) {
    if (sourceWidth <= 0 || targetWidth <= 0) return;
    // Stepped without a division a pixel: `error` is the fraction of a
    // source pixel passed, in targetWidths.
    const int32_t whole = sourceWidth / targetWidth, part = sourceWidth % targetWidth;
    int32_t error = static_cast<int32_t>(int64_t{first} * sourceWidth % targetWidth);
    ptrdiff_t sx = 0;
    for (int32_t i = 0; i < count; ++i) {
        target[i] = source[sx];
        sx += whole;
        error += part;
        if (error >= targetWidth) {
            error -= targetWidth;
            ++sx;
        }
    }
}

int32_t StretchChanged(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                       uint32_t* last, bool full, const StretchTarget& target, RowBand* bands,
                       int32_t maxBands) {
    if (pixels == nullptr || width <= 0 || height <= 0 || target.pixels == nullptr ||
        target.width <= 0 || target.height <= 0 || maxBands <= 0)
        return 0;
    full = full || last == nullptr;
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
            uint32_t* kept = last != nullptr ? last + static_cast<ptrdiff_t>(sy) * width : nullptr;
            drawn = full || std::memcmp(in, kept, rowBytes) != 0;
            if (drawn) {
                if (kept != nullptr) std::memcpy(kept, in, rowBytes);
                StretchRow(in, width, row, target.width, 0, target.width);
            }
        } else if (drawn) {
            // Further window rows of the same source row are copies.
            std::memcpy(row, row - target.pitch, sizeof(uint32_t) * static_cast<size_t>(target.width));
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
