// SPDX-License-Identifier: GPL-3.0-or-later
// The Options dialog: which of the four actions repeat while their key is
// held. Check boxes 1002..1005 stand for rotation, left, drop and right.
#pragma once

#include "res/ids.h"
#include "shell/dialog.h"

int32_t OptionsDialogProc(Dialog* dialog, const Event& event);

// Runs the Options dialog over the window, from its template resource.
void RunOptionsDialog(Window window);
