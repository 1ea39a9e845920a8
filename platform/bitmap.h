// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding the game's own bitmaps: a file header, a 40-byte info header,
// 4 or 8 bits per pixel with a palette, uncompressed, rows bottom-up. That
// is all `vantle-gen-assets` writes, and all this reads: any other kind of
// bitmap is refused.
#pragma once

#include <cstddef>
#include <cstdint>

// Gives the caller's storage for a decoded image of width x height pixels
// (row by row, top row first); may return nullptr to decline.
using PixelAllocator = uint32_t* (*)(int32_t width, int32_t height, void* context);

// Decodes `data` into 0x00RRGGBB pixels in the storage `allocate` gives.
// Returns false, asking for no storage and writing nothing, when the bytes
// are not a whole bitmap of that kind (cut short, another depth, compressed,
// top-down, or with a pixel naming a colour its palette lacks).
bool DecodeBitmap(const uint8_t* data, size_t size, PixelAllocator allocate, void* context);
