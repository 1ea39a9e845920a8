// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/paint.h"

#include "render/layout.h"

int32_t PaintWindow(Window window) {
    if (Layout.BackBuffer.Pixels != nullptr)
        PlatformPresent(window, Layout.BackBuffer.Pixels, Layout.LogicalWidth, Layout.LogicalHeight,
                        Layout.BackBuffer.Width);
    return 0;
}
