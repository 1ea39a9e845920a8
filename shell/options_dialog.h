// SPDX-License-Identifier: GPL-3.0-or-later
// The Options dialog: which of the four actions repeat while their key is
// held. Check boxes 1002..1005 stand for rotation, left, drop and right.
#pragma once

#include "shell/dialog.h"

constexpr int32_t DIALOG_OPTIONS = 103;
constexpr int32_t IDC_REPEAT_FIRST = 1002;

int32_t OptionsDialogProc(Dialog* dialog, uint32_t message, uint32_t wParam, int32_t lParam);

// Runs the Options dialog over the window, from its template resource.
void RunOptionsDialog(Window window);
