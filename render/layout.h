// SPDX-License-Identifier: GPL-3.0-or-later
// The logical screen: a 240-wide game area (240 high in landscape, 320 in
// portrait) drawn into the BackBuffer and stretched onto the window.
#pragma once

#include "render/surface.h"

#include <cstdint>

struct ScreenLayout {
    int32_t WindowWidth, WindowHeight; // window pixels
    double Scale;                      // window pixels per logical pixel, at least 1
    int32_t LogicalWidth, LogicalHeight;
    int32_t AreaX, AreaY, AreaWidth, AreaHeight; // the game area
    int32_t PanelX;                              // left edge of the info panel
    int32_t ButtonsY;                            // top of the block of control buttons
    int32_t CellSize;
    int32_t CellSpriteX, CellSpriteY; // the row of arrow tiles used for board cells
    // The three surfaces that live as long as the window. Only the top-left
    // LogicalWidth x LogicalHeight of the BackBuffer is ever shown; the
    // FieldBuffer holds the clean picture of the game area with an empty
    // board.
    Surface BackBuffer;
    Surface SpriteSheet;
    Surface FieldBuffer;
};

// The module's state: written by LayoutScreen, read everywhere else.
extern ScreenLayout Layout;

// Measures the window, picks the landscape or portrait layout and builds the
// three surfaces: the play background with the empty-cell pattern, and its
// clean copy.
void LayoutScreen(int32_t windowWidth, int32_t windowHeight);

// A window pixel to the logical pixel under it; there is no offset.
void WindowToLogical(int32_t x, int32_t y, int32_t* logicalX, int32_t* logicalY);

// The logical picture stretched onto a surface of the window's size, by the
// stretch every backend's present uses; a surface of another size is left
// as it is.
void StretchToWindow(Surface& window);

void ReleaseScreen();

// Top-left corner of board cell (column, row) in the BackBuffer.
int32_t CellX(int32_t column);
int32_t CellY(int32_t row);
