// SPDX-License-Identifier: GPL-3.0-or-later
// A small modal dialog host: builds a dialog from a template resource (check
// boxes, push buttons and a group box), draws it over the game with the
// game's own font, and runs it with its own event loop until its procedure
// ends it. Pen or mouse: a check box or a button acts when the pen, pressed
// on it, is lifted on it (the dialog keeps that press to itself). Keys: Tab
// and Shift+Tab move the focus, Space toggles or presses the focused control,
// Enter is OK, Escape is CANCEL. A game controller's keys: the D-pad moves
// the focus, A toggles or presses the focused control, B is CANCEL. Commands
// and check-box states sent to the dialog as events act as they say. Keys
// let go meanwhile, and the pen lifted after going down on the game before
// the dialog opened, go to the owner's window procedure.
//
// dialog_template.cpp reads templates, dialog_draw.cpp draws, and
// dialog.cpp runs the loop and answers the procedure.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>

constexpr int32_t DialogMaxControls = 16;
constexpr int32_t IDOK = 1;
constexpr int32_t IDCANCEL = 2;

enum ControlKind : int32_t { CONTROL_CHECKBOX, CONTROL_BUTTON, CONTROL_GROUPBOX, CONTROL_OTHER };

struct DialogRect {
    int32_t left, top, right, bottom;
};

struct DialogControl {
    int32_t id;
    int32_t kind;
    uint32_t style;
    DialogRect rect; // logical pixels, relative to the dialog's client area
    char text[32];
    int32_t checked;
};

struct Dialog {
    char title[32];
    DialogRect rect;   // the whole dialog, frame included, in logical pixels
    int32_t captionOk; // an OK box in the caption
    DialogControl controls[DialogMaxControls];
    int32_t controlCount;
    int32_t focus;   // index of the focused control, -1 for none
    int32_t penDown; // 1 while a press of the pen that began on the dialog lasts
    int32_t penOn;   // what that press began on: a control's index, or below
    int32_t ended;
    int32_t result;
    Window owner;
};

constexpr int32_t PenOnNothing = -1;
constexpr int32_t PenOnCaptionOk = -2;

// A dialog's own: told EVENT_INIT_DIALOG before it shows, and
// EVENT_COMMAND with the id of a button pressed (IDOK, IDCANCEL).
using DialogProcedure = int32_t (*)(Dialog* dialog, const Event& event);

// The frame around the client area, and the caption above it.
constexpr int32_t DialogBorder = 2;
constexpr int32_t DialogCaptionHeight = 16;
// The most a dialog covers, either way: what the host can save and restore.
constexpr int32_t DialogMaxSize = 400;

// Reads a dialog template; false if the bytes are not one.
bool ParseDialogTemplate(const uint8_t* data, size_t size, Dialog* dialog);

// Runs the dialog modally over `owner` and returns its result: the initial
// event, then the player's (or, headless, the driver's) answer; a loop
// whose wait for events comes back empty cancels.
int32_t RunDialog(const uint8_t* data, size_t size, Window owner, DialogProcedure procedure);

// One key-down in a running dialog; `source` tells a controller's keys
// (KEY_FROM_PAD) from the keyboard's.
void DialogKey(Dialog* dialog, DialogProcedure procedure, uint32_t key, uint8_t source);

// What a dialog procedure may do with its dialog.
void EndDialog(Dialog* dialog, int32_t result);
void CheckDlgButton(Dialog* dialog, int32_t id, int32_t state);
int32_t IsDlgButtonChecked(const Dialog* dialog, int32_t id);
bool GetDialogRect(const Dialog* dialog, DialogRect* rect);
// The owner's drawing area, in the dialog's coordinates (logical pixels).
bool GetOwnerClientRect(const Dialog* dialog, DialogRect* rect);
void MoveDialog(Dialog* dialog, int32_t x, int32_t y);

// Where the caption's OK box and a control are, in logical pixels.
DialogRect CaptionOkRect(const Dialog* dialog);
DialogRect ControlScreenRect(const Dialog* dialog, const DialogControl& control);

// Draws the dialog into the back buffer.
void DrawDialog(const Dialog* dialog);
