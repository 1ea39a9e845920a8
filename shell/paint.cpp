// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/paint.h"

#include "render/layout.h"

int32_t PaintWindow(Window window) {
    if (BackBuffer.Pixels != nullptr)
        PlatformPresent(window, BackBuffer.Pixels, Layout.LogicalWidth, Layout.LogicalHeight,
                        BackBuffer.Width);
    return 0;
}
