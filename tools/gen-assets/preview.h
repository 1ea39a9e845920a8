// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures for people: the sheet enlarged, the backgrounds, every sprite
// region labelled, and the title and play screens put together the way the
// game draws them.
#pragma once

#include "tools/gen-assets/image.h"
#include "tools/gen-assets/scenes.h"

bool WritePreviews(const char* directory, const IndexedImage& sheet, const PalettedImage& title,
                   const PalettedImage& play);
