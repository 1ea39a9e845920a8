// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/platform.h"

// The paint: the logical part of the BackBuffer stretched over the window.
int32_t PaintWindow(Window window);
