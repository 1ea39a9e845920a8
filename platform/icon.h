// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding an icon file (a directory of images, each a bitmap header, its
// palette, the colour bits and a transparency mask, rows bottom-up).
#pragma once

#include <cstddef>
#include <cstdint>

// The largest icon image any backend asks for.
constexpr int32_t MaxIconSize = 64;

// Decodes the `size` x `size` image of an icon file (the deepest one of that
// size) into 0xAARRGGBB pixels, top row first, transparent where the mask
// says so. False when the file has no image of that size it can read.
bool DecodeIcon(const uint8_t* data, size_t dataSize, int32_t size, uint32_t* argb);

// The same for icon resource `id`.
bool DecodeIconResource(int32_t id, int32_t size, uint32_t* argb);
