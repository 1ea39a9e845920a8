// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the window with Xlib itself, for the X screens that SDL can draw on
// neither through a window surface nor through a renderer: those of 8 bits a
// pixel, whose colours come from a colour map. Kept apart from the rest of
// the backend, whose names (Window above all) Xlib's would collide with.
#pragma once

#include <cstdint>

struct SDL_Window;

// Takes over the drawing of `window` when it is an X window; false when it
// is not, or cannot be drawn this way.
bool X11DrawStart(SDL_Window* window);
// Puts `rows` rows of 0x00RRGGBB pixels, `width` wide (the window's width),
// on the window from row `top`. `pixels` is the first of them.
void X11DrawRows(const uint32_t* pixels, int32_t width, int32_t height, int32_t top, int32_t rows);
void X11DrawStop();

// The X window's id of `window`, 0 when it is no X window.
unsigned long X11WindowId(SDL_Window* window);
