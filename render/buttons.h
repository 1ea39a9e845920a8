// SPDX-License-Identifier: GPL-3.0-or-later
// Where the on-screen buttons stand and how they look.
#pragma once

#include <cstdint>

// Places the buttons for the current layout, each the size of its picture,
// and takes the hidden button out of the table (its state is still loaded
// and saved).
void LayoutButtons();

// Button i pressed (down non-zero) or raised; a toggle always shows its own
// state, whatever it is asked.
void DrawButton(int32_t i, int32_t down);
void DrawButtonImage(int32_t i, int32_t down);
