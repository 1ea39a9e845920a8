// SPDX-License-Identifier: GPL-3.0-or-later
// Windows bitmap files: BITMAPFILEHEADER, a 40-byte BITMAPINFOHEADER, the
// palette as B, G, R, 0 and uncompressed bottom-up rows padded to 4 bytes.
#pragma once

#include "tools/gen-assets/bytes.h"
#include "tools/gen-assets/image.h"

#include <cstdint>

// bits is 4 or 8; the palette has 1 << bits entries of 0x00RRGGBB.
Bytes EncodeBmp(const IndexedImage& image, const uint32_t* palette, int32_t bits);
