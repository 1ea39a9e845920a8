// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/options_dialog.h"

#include "game/flow.h"
#include "platform/resources.h"

int32_t OptionsDialogProc(Dialog* dialog, const Event& event) {
    if (event.kind == EVENT_INIT_DIALOG) {
        // Centred over the window, but never above or left of it.
        DialogRect own{}, parent{};
        if (GetDialogRect(dialog, &own) && GetOwnerClientRect(dialog, &parent)) {
            int32_t x = ((parent.right - parent.left) - (own.right - own.left)) / 2;
            int32_t y = ((parent.bottom - parent.top) - (own.bottom - own.top)) / 2;
            if (x < 0) x = 0;
            if (y < 0) y = 0;
            MoveDialog(dialog, x, y);
        }
        for (int32_t i = 0; i < 4; ++i)
            CheckDlgButton(dialog, IDC_REPEAT_FIRST + i, Flow.KeyRepeat[i]);
        return 1;
    }
    if (event.kind == EVENT_COMMAND) {
        switch (event.command) {
        case IDOK: {
            int32_t choices[4];
            for (int32_t i = 0; i < 4; ++i)
                choices[i] = IsDlgButtonChecked(dialog, IDC_REPEAT_FIRST + i);
            SetKeyRepeat(choices);
            EndDialog(dialog, IDOK);
            return 1;
        }
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return 1;
        default: return 0;
        }
    }
    return 0;
}

void RunOptionsDialog(Window window) {
    const ResourceBytes bytes = FindResource(RES_DIALOG, DIALOG_OPTIONS);
    RunDialog(bytes.Data, bytes.Size, window, OptionsDialogProc);
}
