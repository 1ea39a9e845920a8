// SPDX-License-Identifier: GPL-3.0-or-later
// The program icon (icon 101): an arrow tile in three images, 32 x 32 and
// 16 x 16 in 16 colours, and 32 x 32 in black and white. The same tile as
// PNG pictures for the desktop's icon theme (icons/vantle-SIZE.png).
#pragma once

#include "tools/gen-assets/bytes.h"
#include "tools/gen-assets/image.h"

#include <cstdint>

Bytes EncodeIcon();

// The three pictures as drawn, for the preview: palette
// indices (16-colour sheet palette, or 0 black / 1 white), and which pixels
// are see-through.
struct IconImage {
    IndexedImage Picture;
    IndexedImage Clear; // 1 where the icon shows what is behind it
    int32_t Bits;
};
IconImage IconPicture(int32_t size, int32_t bits);

// The icon sizes installed into the desktop's icon theme.
constexpr int32_t DesktopIconSizes[] = {16, 32, 48, 64, 128};
// The larger ones the browser edition's manifest names for a home screen.
constexpr int32_t WebIconSizes[] = {192, 512};

// The desktop icon of that size as a PNG with alpha: the 16- or 32-pixel
// picture, enlarged by a whole number for the larger sizes so that its
// pixels stay sharp. Empty for a size that is no multiple of 16.
Bytes EncodeDesktopIcon(int32_t size);

// The browser edition's maskable icon (a home screen cuts it to its own
// shape): opaque black to the edges, the 32-pixel picture enlarged by a
// quarter of the size in the middle, well inside the circle every mask
// keeps. Empty for a size that is no multiple of 128.
Bytes EncodeMaskableIcon(int32_t size);
constexpr int32_t MaskableIconSize = 512;
