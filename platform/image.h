// Decoding the embedded bitmaps (bottom-up, uncompressed, 4 or 8 bits per
// pixel with a palette) into 0x00RRGGBB pixels.
#pragma once

#include <cstddef>
#include <cstdint>

// Gives the caller's storage for a decoded image of width x height pixels
// (row by row, top row first); may return nullptr to decline.
using PixelAllocator = uint32_t* (*)(int32_t width, int32_t height, void* context);

// Decodes `data` and writes its pixels into the storage `allocate` gives.
// Returns false, writing nothing, when the bytes are not a bitmap it can read.
bool DecodeBitmap(const uint8_t* data, size_t size, PixelAllocator allocate, void* context);
