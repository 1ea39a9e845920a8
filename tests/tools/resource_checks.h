// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the generated resource files back, independently of the code that
// wrote them, and listing every way they break what the game relies on. An
// empty list means the file is good.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;
using Problems = std::vector<std::string>;

Bytes ReadFileBytes(const std::string& path);

// A decoded 4- or 8-bit bitmap: palette as 0x00RRGGBB, indices top row first.
struct Bitmap {
    int32_t Width = 0, Height = 0, Bits = 0;
    std::vector<uint32_t> Palette;
    std::vector<uint8_t> Index;
    uint8_t At(int32_t x, int32_t y) const { return Index[static_cast<size_t>(y * Width + x)]; }
};
// Checks the file structure and decodes; problems go to `problems`.
Bitmap ParseBitmap(const Bytes& file, Problems& problems);
// Changes one pixel of a 4-bit bitmap file in place (for making broken sheets).
void PokeSheetPixel(Bytes& file, int32_t x, int32_t y, uint8_t index);

Problems CheckSpriteSheet(const Bytes& file);
// Every button sprite of both tables inside a sheet of this size.
Problems CheckButtonsInside(int32_t sheetWidth, int32_t sheetHeight);
Problems CheckBackground(const Bytes& file, int32_t bits);
Problems CheckWave(const Bytes& file, uint32_t samples);
Problems CheckIcon(const Bytes& file);
Problems CheckOptionsDialog(const Bytes& file);
Problems CheckAccelerators(const Bytes& file);

std::string Describe(const Problems& problems);
