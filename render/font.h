// SPDX-License-Identifier: GPL-3.0-or-later
// The game's own pixel font: printable ASCII, every glyph inside a 16-pixel
// box, drawn from data so text is pixel-exact on every machine.
#pragma once

#include <cstdint>

// Height of one line of text, in pixels; the opaque background of a text is
// this high. Row 0 is always blank (a margin above the capitals), capitals and
// digits fill rows 1..9 with the baseline under row 9, and descenders (g j p q
// y , ;) hang into rows 10..12.
extern const int32_t FontLineHeight;

// Horizontal advance of a character, the space after its ink included.
// Characters outside printable ASCII are drawn as '?'.
int32_t GlyphAdvance(unsigned char c);

// Row y (0 .. FontLineHeight - 1) of a character's glyph: bit x set (bit 0 is
// the leftmost column) means ink at column x.
uint16_t GlyphRow(unsigned char c, int32_t y);

// Width of a whole text: the sum of its advances.
int32_t TextWidth(const char* text);
