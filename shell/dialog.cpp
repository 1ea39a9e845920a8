#include "shell/dialog.h"

#include "input/input_state.h"
#include "render/font.h"
#include "render/layout.h"
#include "shell/paint.h"

#include <cstring>

namespace {
// Dialog units to logical pixels: a quarter of an average character across,
// an eighth of a line down.
constexpr int32_t DluX(int32_t v) { return v * 8 / 5; }
constexpr int32_t DluY(int32_t v) { return v * 13 / 8; }
constexpr int32_t Border = 2;
constexpr int32_t CaptionHeight = 16;
constexpr uint32_t StyleSetFont = 0x40;
constexpr uint32_t StyleTabStop = 0x00010000;
constexpr uint32_t ExStyleCaptionOk = 0x80000000;
constexpr uint16_t ButtonClass = 0x0080;
constexpr uint32_t VK_TAB = 9, VK_SHIFT = 16;

constexpr uint32_t Grey = 0xC0C0C0, DarkGrey = 0x808080, Navy = 0x000080;

// A little-endian reader that never reads past its end.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos;
    bool ok;

    uint16_t Word() {
        if (pos + 2 > size) { ok = false; return 0; }
        const uint16_t v = static_cast<uint16_t>(data[pos] | data[pos + 1] << 8);
        pos += 2;
        return v;
    }
    uint32_t Dword() {
        const uint32_t lo = Word();
        return lo | static_cast<uint32_t>(Word()) << 16;
    }
    int32_t Short() { return static_cast<int16_t>(Word()); }
    void AlignDword() { pos = (pos + 3) & ~static_cast<size_t>(3); }
    // A UTF-16 text, kept as ASCII ('?' for anything else), cut to fit.
    void Text(char* out, size_t outSize) {
        size_t n = 0;
        for (;;) {
            const uint16_t c = Word();
            if (!ok || c == 0) break;
            if (out != nullptr && n + 1 < outSize) out[n++] = c >= 32 && c < 127 ? static_cast<char>(c) : '?';
        }
        if (out != nullptr && outSize > 0) out[n] = 0;
    }
    // A menu, class or title field: none, an ordinal, or a text.
    uint16_t OrdinalOrText(char* out, size_t outSize) {
        if (out != nullptr && outSize > 0) out[0] = 0;
        const uint16_t first = Word();
        if (first == 0) return 0;
        if (first == 0xFFFF) return Word();
        pos -= 2;
        Text(out, outSize);
        return 0;
    }
};

// What a dialog covers of the back buffer, put back when it ends.
constexpr int32_t SaveMax = 400;
uint32_t SavedPixels[SaveMax * SaveMax];
DialogRect SavedRect;

Surface& Screen() { return BackBuffer; }

// Copies the back buffer's pixels under `r` into the save area (save) or
// back out of it (restore); pixels off the buffer are left out.
void SwapUnder(const DialogRect& r, bool save) {
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x) {
            if (x < 0 || y < 0 || x >= BackBuffer.Width || y >= BackBuffer.Height ||
                x - r.left >= SaveMax || y - r.top >= SaveMax)
                continue;
            uint32_t& screen = BackBuffer.Pixels[y * BackBuffer.Width + x];
            uint32_t& kept = SavedPixels[(y - r.top) * SaveMax + (x - r.left)];
            if (save)
                kept = screen;
            else
                screen = kept;
        }
    }
}

void SaveUnder(const DialogRect& r) {
    SavedRect = r;
    SwapUnder(r, true);
}

void RestoreUnder() { SwapUnder(SavedRect, false); }

// The dialog's size is limited to what the host can save and restore.
void ClampSize(Dialog* d) {
    if (d->rect.right - d->rect.left > SaveMax) d->rect.right = d->rect.left + SaveMax;
    if (d->rect.bottom - d->rect.top > SaveMax) d->rect.bottom = d->rect.top + SaveMax;
}

int32_t ClientX(const Dialog* d) { return d->rect.left + Border; }
int32_t ClientY(const Dialog* d) { return d->rect.top + Border + CaptionHeight; }

DialogRect CaptionOkRect(const Dialog* d) {
    const int32_t right = d->rect.right - Border - 2;
    return {right - 22, d->rect.top + Border + 1, right, d->rect.top + Border + CaptionHeight - 1};
}

DialogRect ScreenRect(const Dialog* d, const DialogControl& c) {
    return {ClientX(d) + c.rect.left, ClientY(d) + c.rect.top, ClientX(d) + c.rect.right,
            ClientY(d) + c.rect.bottom};
}

void Frame(const DialogRect& r, uint32_t topLeft, uint32_t bottomRight) {
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    FillColour(Screen(), r.left, r.top, w, 1, topLeft);
    FillColour(Screen(), r.left, r.top, 1, h, topLeft);
    FillColour(Screen(), r.left, r.bottom - 1, w, 1, bottomRight);
    FillColour(Screen(), r.right - 1, r.top, 1, h, bottomRight);
}

void DottedFrame(const DialogRect& r) {
    for (int32_t x = r.left; x < r.right; x += 2) {
        FillColour(Screen(), x, r.top, 1, 1, Black);
        FillColour(Screen(), x, r.bottom - 1, 1, 1, Black);
    }
    for (int32_t y = r.top; y < r.bottom; y += 2) {
        FillColour(Screen(), r.left, y, 1, 1, Black);
        FillColour(Screen(), r.right - 1, y, 1, 1, Black);
    }
}

void Label(int32_t x, int32_t y, const char* text, uint32_t colour, const DialogRect& clip) {
    DrawTextAt(Screen(), x, y, text, colour, TextRect{clip.left, clip.top, clip.right, clip.bottom});
}

void DrawRaisedButton(const DialogRect& r, const char* text, bool focused) {
    FillColour(Screen(), r.left, r.top, r.right - r.left, r.bottom - r.top, Grey);
    DialogRect outer = r;
    if (focused) {
        Frame(outer, Black, Black);
        outer = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    Frame(outer, White, Black);
    Frame({outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1}, Grey, DarkGrey);
    const int32_t tx = r.left + (r.right - r.left - TextWidth(text)) / 2;
    const int32_t ty = r.top + (r.bottom - r.top - FontLineHeight) / 2;
    Label(tx, ty, text, Black, r);
    if (focused) DottedFrame({r.left + 3, r.top + 3, r.right - 3, r.bottom - 3});
}

void DrawCheckBox(const DialogControl& c, const DialogRect& r, bool focused) {
    const int32_t box = 9;
    const int32_t by = r.top + (r.bottom - r.top - box) / 2;
    FillColour(Screen(), r.left, by, box, box, White);
    Frame({r.left, by, r.left + box, by + box}, DarkGrey, White);
    Frame({r.left + 1, by + 1, r.left + box - 1, by + box - 1}, Black, Grey);
    if (c.checked != 0) {
        // A tick: down then up.
        static const int32_t tick[][2] = {{2, 4}, {3, 5}, {4, 6}, {5, 5}, {6, 4}, {7, 3}};
        for (const auto& p : tick) FillColour(Screen(), r.left + p[0] - 1, by + p[1] - 1, 1, 2, Black);
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
    FillColour(Screen(), r.left + 5, r.top, w + 4, FontLineHeight - 2, Grey);
    Label(r.left + 7, r.top - 1, c.text, Black, {r.left, r.top - 1, r.right, r.bottom});
}

bool Inside(const DialogRect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool CanFocus(const DialogControl& c) {
    return (c.style & StyleTabStop) != 0 && (c.kind == CONTROL_CHECKBOX || c.kind == CONTROL_BUTTON);
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
        procedure(d, MSG_COMMAND, static_cast<uint32_t>(c.id) & 0xFFFFu, 0);
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
    case VK_RETURN: procedure(d, MSG_COMMAND, IDOK, 0); break;
    case VK_ESCAPE: procedure(d, MSG_COMMAND, IDCANCEL, 0); break;
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
    case VK_PAD_B: procedure(d, MSG_COMMAND, IDCANCEL, 0); break;
    default: KeyboardKey(d, procedure, key); break;
    }
}

void OnPen(Dialog* d, DialogProcedure procedure, int32_t position) {
    int32_t x = 0, y = 0;
    const auto p = static_cast<uint32_t>(position);
    WindowToLogical(static_cast<int32_t>(p & 0xFFFFu), static_cast<int32_t>(p >> 16), &x, &y);
    if (d->captionOk != 0 && Inside(CaptionOkRect(d), x, y)) {
        procedure(d, MSG_COMMAND, IDOK, 0);
        return;
    }
    for (int32_t i = 0; i < d->controlCount; ++i) {
        const DialogControl& c = d->controls[i];
        if (!CanFocus(c)) continue;
        DialogRect r = ScreenRect(d, c);
        if (c.kind == CONTROL_CHECKBOX) r.right += 8; // the label may run on a little
        if (Inside(r, x, y)) {
            d->focus = i;
            Activate(d, procedure, i);
            return;
        }
    }
}
} // namespace

void DialogKey(Dialog* dialog, DialogProcedure procedure, uint32_t key, int32_t lParam) {
    if ((lParam & KEY_FROM_PAD) != 0)
        PadKey(dialog, procedure, key);
    else
        KeyboardKey(dialog, procedure, key);
}

bool ParseDialogTemplate(const uint8_t* data, size_t size, Dialog* d) {
    std::memset(d, 0, sizeof *d);
    d->focus = -1;
    Reader in{data, size, 0, data != nullptr};
    const uint32_t style = in.Dword();
    const uint32_t exStyle = in.Dword();
    const int32_t count = in.Word();
    in.Short(); // the template's place is not used: the dialog is placed by its procedure
    in.Short();
    const int32_t cx = in.Short(), cy = in.Short();
    in.OrdinalOrText(nullptr, 0); // menu
    in.OrdinalOrText(nullptr, 0); // class
    in.Text(d->title, sizeof d->title);
    if (style & StyleSetFont) {
        in.Word(); // point size: the game's own font is used whatever is named
        in.Text(nullptr, 0);
    }
    if (!in.ok || cx <= 0 || cy <= 0) return false;
    d->captionOk = (exStyle & ExStyleCaptionOk) != 0;
    d->rect = {0, 0, DluX(cx) + 2 * Border, DluY(cy) + CaptionHeight + 2 * Border};
    ClampSize(d);

    for (int32_t i = 0; i < count && in.ok; ++i) {
        in.AlignDword();
        DialogControl c{};
        c.style = in.Dword();
        in.Dword(); // extended style
        const int32_t x = in.Short(), y = in.Short(), w = in.Short(), h = in.Short();
        c.id = in.Word();
        char className[16];
        const uint16_t atom = in.OrdinalOrText(className, sizeof className);
        in.OrdinalOrText(c.text, sizeof c.text);
        const uint16_t extra = in.Word();
        in.pos += extra;
        if (!in.ok) return false;
        c.rect = {DluX(x), DluY(y), DluX(x + w), DluY(y + h)};
        const uint32_t buttonStyle = c.style & 0xF;
        if (atom != ButtonClass)
            c.kind = CONTROL_OTHER;
        else if (buttonStyle == 2 || buttonStyle == 3)
            c.kind = CONTROL_CHECKBOX;
        else if (buttonStyle == 7)
            c.kind = CONTROL_GROUPBOX;
        else
            c.kind = CONTROL_BUTTON;
        if (d->controlCount < DialogMaxControls) d->controls[d->controlCount++] = c;
    }
    return in.ok;
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

void DrawDialog(const Dialog* d) {
    const DialogRect& r = d->rect;
    FillColour(Screen(), r.left, r.top, r.right - r.left, r.bottom - r.top, Grey);
    Frame(r, Grey, Black);
    Frame({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, White, DarkGrey);
    const DialogRect caption{r.left + Border, r.top + Border, r.right - Border,
                             r.top + Border + CaptionHeight};
    FillColour(Screen(), caption.left, caption.top, caption.right - caption.left, CaptionHeight,
               Navy);
    Label(caption.left + 3, caption.top + 2, d->title, White, caption);
    if (d->captionOk != 0) DrawRaisedButton(CaptionOkRect(d), "OK", false);

    for (int32_t i = 0; i < d->controlCount; ++i) {
        const DialogControl& c = d->controls[i];
        const DialogRect cr = ScreenRect(d, c);
        const bool focused = i == d->focus;
        switch (c.kind) {
        case CONTROL_CHECKBOX: DrawCheckBox(c, cr, focused); break;
        case CONTROL_BUTTON: DrawRaisedButton(cr, c.text, focused); break;
        case CONTROL_GROUPBOX: DrawGroupBox(c, cr); break;
        default: break;
        }
    }
}

int32_t RunDialog(const uint8_t* data, size_t size, Window owner, DialogProcedure procedure) {
    static Dialog d;
    if (!ParseDialogTemplate(data, size, &d)) return -1;
    d.owner = owner;
    procedure(&d, MSG_INITDIALOG, 0, 0);
    MoveFocus(&d, 1);

    DialogAnswer answer{};
    if (PlatformScriptedDialog(&answer)) {
        // The check boxes as the script set them, then its button.
        int32_t k = 0;
        for (int32_t i = 0; i < d.controlCount && k < 4; ++i)
            if (d.controls[i].kind == CONTROL_CHECKBOX) d.controls[i].checked = answer.Checks[k++] != 0;
        if (!d.ended) procedure(&d, MSG_COMMAND, static_cast<uint32_t>(answer.Command), 0);
        if (!d.ended) EndDialog(&d, answer.Command);
        return d.result;
    }

    SaveUnder(d.rect);
    DrawDialog(&d);
    PlatformInvalidate(owner);
    Message m{};
    while (d.ended == 0) {
        if (!PlatformGetMessage(&m)) {
            // The quit message belongs to the main loop: leave it for it.
            PlatformPostQuitMessage(PlatformQuitCode());
            EndDialog(&d, IDCANCEL);
            break;
        }
        switch (m.message) {
        case MSG_PAINT: PaintWindow(owner); break;
        case MSG_KEYDOWN: DialogKey(&d, procedure, m.wParam, m.lParam); break;
        case MSG_PENDOWN: OnPen(&d, procedure, m.lParam); break;
        case MSG_SYSKEYDOWN:
            if (m.wParam == 0x73) procedure(&d, MSG_COMMAND, IDCANCEL, 0); // Alt+F4 closes the dialog
            break;
        case MSG_CLOSE:
            // Closing the game window cancels the dialog, then closes the game.
            procedure(&d, MSG_COMMAND, IDCANCEL, 0);
            if (d.ended == 0) EndDialog(&d, IDCANCEL);
            PlatformPostMessage(owner, MSG_CLOSE, 0, 0);
            break;
        default: break; // the game's timer is stopped; nothing else is for the dialog
        }
        if (d.ended == 0) {
            DrawDialog(&d);
            PlatformInvalidate(owner);
        }
    }
    RestoreUnder();
    PlatformInvalidate(owner);
    return d.result;
}
