// SPDX-License-Identifier: GPL-3.0-or-later
// A small PNG writer: 8-bit RGB or RGBA, one zlib stream of fixed-Huffman
// deflate with LZ77 matching. No zlib needed; the bytes depend on the pixels alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The PNG file for width x height pixels given as 0x00RRGGBB, row after row,
// each row pitchPixels apart. Empty when the size makes no sense.
std::vector<uint8_t> EncodePng(const uint32_t* pixels, int32_t width, int32_t height,
                               int32_t pitchPixels);

// The same with an alpha channel: pixels as 0xAARRGGBB, alpha 0 clear.
std::vector<uint8_t> EncodePngAlpha(const uint32_t* pixels, int32_t width, int32_t height,
                                    int32_t pitchPixels);

// Writes EncodePng's bytes to path; false when encoding or writing fails.
bool WritePng(const char* path, const uint32_t* pixels, int32_t width, int32_t height,
              int32_t pitchPixels);
