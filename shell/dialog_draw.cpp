// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog's look, drawn into the back buffer with the game's own font: a
// grey frame with a navy caption, raised push buttons, sunken check boxes
// with a tick, an etched group box, and a dotted frame round the focus.
#include "shell/dialog.h"

#include "render/font.h"
#include "render/layout.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {
constexpr uint32_t Grey = 0xC0C0C0, DarkGrey = 0x808080, Navy = 0x000080;

void Frame(const DialogRect& r, uint32_t topLeft, uint32_t bottomRight) {
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    FillColour(Layout.BackBuffer, r.left, r.top, w, 1, topLeft);
    FillColour(Layout.BackBuffer, r.left, r.top, 1, h, topLeft);
    FillColour(Layout.BackBuffer, r.left, r.bottom - 1, w, 1, bottomRight);
    FillColour(Layout.BackBuffer, r.right - 1, r.top, 1, h, bottomRight);
}

DialogRect Inset(const DialogRect& r, int32_t by) {
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

void DottedFrame(const DialogRect& r) {
    for (int32_t x = r.left; x < r.right; x += 2) {
        FillColour(Layout.BackBuffer, x, r.top, 1, 1, Black);
        FillColour(Layout.BackBuffer, x, r.bottom - 1, 1, 1, Black);
    }
    for (int32_t y = r.top; y < r.bottom; y += 2) {
        FillColour(Layout.BackBuffer, r.left, y, 1, 1, Black);
        FillColour(Layout.BackBuffer, r.right - 1, y, 1, 1, Black);
    }
}

void Label(int32_t x, int32_t y, const char* text, uint32_t colour, const DialogRect& clip) {
    DrawTextAt(Layout.BackBuffer, x, y, text, colour,
               TextRect{clip.left, clip.top, clip.right, clip.bottom});
}

void DrawRaisedButton(const DialogRect& r, const char* text, bool focused) {
    FillColour(Layout.BackBuffer, r.left, r.top, r.right - r.left, r.bottom - r.top, Grey);
    DialogRect outer = r;
    if (focused) {
        Frame(outer, Black, Black);
        outer = Inset(r, 1);
    }
    Frame(outer, White, Black);
    Frame(Inset(outer, 1), Grey, DarkGrey);
    const int32_t tx = r.left + (r.right - r.left - TextWidth(text)) / 2;
    const int32_t ty = r.top + (r.bottom - r.top - FontLineHeight) / 2;
    Label(tx, ty, text, Black, r);
    if (focused) DottedFrame(Inset(r, 3));
}

void DrawCheckBox(const DialogControl& c, const DialogRect& r, bool focused) {
    const int32_t box = 9;
    const int32_t by = r.top + (r.bottom - r.top - box) / 2;
    FillColour(Layout.BackBuffer, r.left, by, box, box, White);
    Frame({r.left, by, r.left + box, by + box}, DarkGrey, White);
    Frame({r.left + 1, by + 1, r.left + box - 1, by + box - 1}, Black, Grey);
    if (c.checked != 0) {
        // A tick: down then up.
        static const int32_t tick[][2] = {{2, 4}, {3, 5}, {4, 6}, {5, 5}, {6, 4}, {7, 3}};
        for (const auto& p : tick)
            FillColour(Layout.BackBuffer, r.left + p[0] - 1, by + p[1] - 1, 1, 2, Black);
    }
    const int32_t tx = r.left + box + 3;
    const int32_t ty = r.top + (r.bottom - r.top - FontLineHeight) / 2 + 1;
    Label(tx, ty, c.text, Black, {r.left, r.top - 2, r.right + 8, r.bottom + 2});
    if (focused) DottedFrame({tx - 1, ty, tx + TextWidth(c.text) + 1, ty + FontLineHeight - 2});
}

void DrawGroupBox(const DialogControl& c, const DialogRect& r) {
    const int32_t lineY = r.top + 5;
    Frame({r.left, lineY, r.right, r.bottom}, DarkGrey, DarkGrey);
    Frame({r.left + 1, lineY + 1, r.right + 1, r.bottom + 1}, White, White);
    const int32_t w = TextWidth(c.text);
    FillColour(Layout.BackBuffer, r.left + 5, r.top, w + 4, FontLineHeight - 2, Grey);
    Label(r.left + 7, r.top - 1, c.text, Black, {r.left, r.top - 1, r.right, r.bottom});
}
} // namespace

DialogRect CaptionOkRect(const Dialog* d) {
    const int32_t right = d->rect.right - DialogBorder - 2;
    return {right - 22, d->rect.top + DialogBorder + 1, right,
            d->rect.top + DialogBorder + DialogCaptionHeight - 1};
}

DialogRect ControlScreenRect(const Dialog* d, const DialogControl& c) {
    const int32_t x = d->rect.left + DialogBorder,
                  y = d->rect.top + DialogBorder + DialogCaptionHeight;
    return {x + c.rect.left, y + c.rect.top, x + c.rect.right, y + c.rect.bottom};
}

void DrawDialog(const Dialog* d) {
    const DialogRect& r = d->rect;
    FillColour(Layout.BackBuffer, r.left, r.top, r.right - r.left, r.bottom - r.top, Grey);
    Frame(r, Grey, Black);
    Frame(Inset(r, 1), White, DarkGrey);
    const DialogRect caption{r.left + DialogBorder, r.top + DialogBorder, r.right - DialogBorder,
                             r.top + DialogBorder + DialogCaptionHeight};
    FillColour(Layout.BackBuffer, caption.left, caption.top, caption.right - caption.left,
               DialogCaptionHeight, Navy);
    Label(caption.left + 3, caption.top + 2, d->title, White, caption);
    if (d->captionOk != 0) DrawRaisedButton(CaptionOkRect(d), "OK", false);

    for (int32_t i = 0; i < d->controlCount; ++i) {
        const DialogControl& c = d->controls[i];
        const DialogRect cr = ControlScreenRect(d, c);
        const bool focused = i == d->focus;
        switch (c.kind) {
        case CONTROL_CHECKBOX: DrawCheckBox(c, cr, focused); break;
        case CONTROL_BUTTON: DrawRaisedButton(cr, c.text, focused); break;
        case CONTROL_GROUPBOX: DrawGroupBox(c, cr); break;
        default: break;
        }
    }
}
