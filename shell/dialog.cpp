// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog's modal loop: the events of the window's thread go to the
// dialog until its procedure ends it; the game's timer is stopped meanwhile.
#include "shell/dialog.h"

#include "render/draw.h"
#include "render/layout.h"
#include "shell/paint.h"

namespace {
constexpr uint32_t StyleTabStop = 0x00010000;

bool Inside(const DialogRect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool CanFocus(const DialogControl& c) {
    return (c.style & StyleTabStop) != 0 &&
           (c.kind == CONTROL_CHECKBOX || c.kind == CONTROL_BUTTON);
}

void MoveFocus(Dialog* d, int32_t step) {
    if (d->controlCount == 0) return;
    int32_t i = d->focus;
    for (int32_t n = 0; n < d->controlCount; ++n) {
        i = (i + step + d->controlCount) % d->controlCount;
        if (i < 0) i = 0;
        if (CanFocus(d->controls[i])) {
            d->focus = i;
            return;
        }
    }
}

DialogControl* FindControl(Dialog* d, int32_t id) {
    for (int32_t i = 0; i < d->controlCount; ++i)
        if (d->controls[i].id == id) return &d->controls[i];
    return nullptr;
}

// A control acting: a check box toggles, a push button sends its command.
void Activate(Dialog* d, DialogProcedure procedure, int32_t index) {
    DialogControl& c = d->controls[index];
    if (c.kind == CONTROL_CHECKBOX) {
        c.checked = c.checked != 0 ? 0 : 1;
    } else if (c.kind == CONTROL_BUTTON) {
        procedure(d, CommandEvent(c.id));
    }
}

void KeyboardKey(Dialog* d, DialogProcedure procedure, uint32_t key) {
    switch (key) {
    case VK_TAB: MoveFocus(d, PlatformKeyHeld(VK_SHIFT) ? -1 : 1); break;
    case VK_LEFT:
    case VK_UP: MoveFocus(d, -1); break;
    case VK_RIGHT:
    case VK_DOWN: MoveFocus(d, 1); break;
    case VK_SPACE:
        if (d->focus >= 0) Activate(d, procedure, d->focus);
        break;
    case VK_RETURN: procedure(d, CommandEvent(IDOK)); break;
    case VK_ESCAPE: procedure(d, CommandEvent(IDCANCEL)); break;
    default: break;
    }
}

// A controller's A (Enter) acts on the control in focus, where the
// keyboard's Enter is OK; B cancels; its other keys are the keyboard's.
void PadKey(Dialog* d, DialogProcedure procedure, uint32_t key) {
    switch (key) {
    case VK_RETURN:
        if (d->focus >= 0) Activate(d, procedure, d->focus);
        break;
    case VK_PAD_B: procedure(d, CommandEvent(IDCANCEL)); break;
    default: KeyboardKey(d, procedure, key); break;
    }
}

// What the pen is on: a control's index, PenOnCaptionOk or PenOnNothing.
int32_t PenTarget(const Dialog* d, const Event& pen) {
    int32_t x = 0, y = 0;
    WindowToLogical(pen.x, pen.y, &x, &y);
    if (d->captionOk != 0 && Inside(CaptionOkRect(d), x, y)) return PenOnCaptionOk;
    for (int32_t i = 0; i < d->controlCount; ++i) {
        const DialogControl& c = d->controls[i];
        if (!CanFocus(c)) continue;
        DialogRect r = ControlScreenRect(d, c);
        if (c.kind == CONTROL_CHECKBOX) r.right += 8; // the label may run on a little
        if (Inside(r, x, y)) return i;
    }
    return PenOnNothing;
}

// The pen going down on a control gives it the focus; the control acts
// when the pen comes up on it again.
void OnPenDown(Dialog* d, const Event& pen) {
    d->penDown = 1;
    d->penOn = PenTarget(d, pen);
    if (d->penOn >= 0) d->focus = d->penOn;
}

void OnPenUp(Dialog* d, DialogProcedure procedure, const Event& pen) {
    if (d->penDown == 0) {
        // The pen went down on the game before the dialog opened: its
        // going up is the game's.
        PlatformDispatchEvent(pen);
        return;
    }
    d->penDown = 0;
    const int32_t target = PenTarget(d, pen);
    if (target != d->penOn) return; // slid off: nothing acts
    if (target == PenOnCaptionOk)
        procedure(d, CommandEvent(IDOK));
    else if (target >= 0)
        Activate(d, procedure, target);
}

// One event of the dialog's loop; true when the dialog may look different
// after it.
bool DialogEvent(Dialog* d, DialogProcedure procedure, const Event& e) {
    switch (e.kind) {
    case EVENT_PAINT: PaintWindow(d->owner); return false;
    case EVENT_KEY_DOWN:
        // Alt+F4 closes the dialog; other keys with Alt are the system's.
        if (!e.alt)
            DialogKey(d, procedure, e.key, e.source);
        else if (e.key == VK_F4)
            procedure(d, CommandEvent(IDCANCEL));
        return true;
    case EVENT_PEN_DOWN: OnPenDown(d, e); return true;
    case EVENT_PEN_UP: OnPenUp(d, procedure, e); return true;
    // Keys let go while the dialog is open are let go in the game too, or
    // they would stay held after it.
    case EVENT_KEY_UP: PlatformDispatchEvent(e); return false;
    case EVENT_COMMAND: procedure(d, e); return true;
    case EVENT_CHECK: CheckDlgButton(d, e.command, e.state); return true;
    case EVENT_CLOSE:
        // Closing the game window cancels the dialog, then closes the game.
        procedure(d, CommandEvent(IDCANCEL));
        if (d->ended == 0) EndDialog(d, IDCANCEL);
        PlatformPostEvent(MakeEvent(EVENT_CLOSE));
        return true;
    default: return false; // the game's timer is stopped; nothing else is for the dialog
    }
}
} // namespace

void DialogKey(Dialog* dialog, DialogProcedure procedure, uint32_t key, uint8_t source) {
    if (source == KEY_FROM_PAD)
        PadKey(dialog, procedure, key);
    else
        KeyboardKey(dialog, procedure, key);
}

void EndDialog(Dialog* dialog, int32_t result) {
    dialog->ended = 1;
    dialog->result = result;
}

void CheckDlgButton(Dialog* dialog, int32_t id, int32_t state) {
    if (DialogControl* c = FindControl(dialog, id)) c->checked = state != 0 ? 1 : 0;
}

int32_t IsDlgButtonChecked(const Dialog* dialog, int32_t id) {
    for (int32_t i = 0; i < dialog->controlCount; ++i)
        if (dialog->controls[i].id == id) return dialog->controls[i].checked;
    return 0;
}

bool GetDialogRect(const Dialog* dialog, DialogRect* rect) {
    *rect = dialog->rect;
    return true;
}

bool GetOwnerClientRect(const Dialog*, DialogRect* rect) {
    *rect = {0, 0, Layout.LogicalWidth, Layout.LogicalHeight};
    return true;
}

void MoveDialog(Dialog* dialog, int32_t x, int32_t y) {
    const int32_t w = dialog->rect.right - dialog->rect.left;
    const int32_t h = dialog->rect.bottom - dialog->rect.top;
    dialog->rect = {x, y, x + w, y + h};
}

namespace {
// The dialog's boxes and buttons, as a system with a form of its own shows
// them.
void Offer(const Dialog& d) {
    DialogChoice choices[DialogMaxControls];
    int32_t count = 0;
    for (int32_t i = 0; i < d.controlCount; ++i) {
        const DialogControl& c = d.controls[i];
        if (!CanFocus(c)) continue;
        choices[count++] = DialogChoice{c.id, c.kind == CONTROL_BUTTON, c.text, c.checked};
    }
    PlatformOfferDialog(d.owner, d.title, choices, count);
}
} // namespace

int32_t RunDialog(const uint8_t* data, size_t size, Window owner, DialogProcedure procedure) {
    static Dialog d;
    if (!ParseDialogTemplate(data, size, &d)) return -1;
    d.owner = owner;
    procedure(&d, MakeEvent(EVENT_INIT_DIALOG));
    MoveFocus(&d, 1);

    DrawDialog(&d);
    PlatformInvalidate(owner);
    Offer(d);
    Event e{};
    while (d.ended == 0) {
        if (!PlatformGetEvent(&e)) {
            // Quit, or (headless) nothing more to come: the dialog is
            // cancelled. The quit stays posted for the main loop.
            EndDialog(&d, IDCANCEL);
            break;
        }
        // Drawn again only after what may change it: a repaint asks for no
        // further repaint, so the loop waits when nothing happens.
        if (DialogEvent(&d, procedure, e) && d.ended == 0) {
            DrawDialog(&d);
            PlatformInvalidate(owner);
            Offer(d);
        }
    }
    PlatformWithdrawDialog(owner);
    // What the dialog covered is drawn again from the game's state, which
    // gives back the picture it had (the whole picture is the pieces drawn
    // at each change, pixel for pixel).
    DrawGame();
    PlatformInvalidate(owner);
    return d.result;
}
