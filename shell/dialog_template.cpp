// SPDX-License-Identifier: GPL-3.0-or-later
// Dialog templates as the resource compiler lays them out: a header (style,
// extended style, control count, place and size in dialog units, menu,
// class, title and, with the set-font style, a font), then each control
// aligned to four bytes (style, extended style, place and size, id, class,
// text, extra bytes). Texts are UTF-16.
#include "shell/dialog.h"

#include "platform/bytes.h"

#include <cstring>

namespace {
// Dialog units to logical pixels: a quarter of an average character across,
// an eighth of a line down.
constexpr int32_t DluX(int32_t v) { return v * 8 / 5; }
constexpr int32_t DluY(int32_t v) { return v * 13 / 8; }
constexpr uint32_t StyleSetFont = 0x40;
constexpr uint32_t ExStyleCaptionOk = 0x80000000;
constexpr uint16_t ButtonClass = 0x0080;

// A UTF-16 text, kept as ASCII ('?' for anything else), cut to fit.
void ReadText(ByteReader& in, char* out, size_t outSize) {
    size_t n = 0;
    for (;;) {
        const uint16_t c = in.Word();
        if (!in.ok || c == 0) break;
        if (out != nullptr && n + 1 < outSize)
            out[n++] = c >= 32 && c < 127 ? static_cast<char>(c) : '?';
    }
    if (out != nullptr && outSize > 0) out[n] = 0;
}

// A menu, class or title field: none, an ordinal, or a text.
uint16_t ReadOrdinalOrText(ByteReader& in, char* out, size_t outSize) {
    if (out != nullptr && outSize > 0) out[0] = 0;
    const uint16_t first = in.Word();
    if (first == 0) return 0;
    if (first == 0xFFFF) return in.Word();
    in.pos -= 2;
    ReadText(in, out, outSize);
    return 0;
}

// The dialog's size is limited to what the host can save and restore.
void ClampSize(Dialog* d) {
    if (d->rect.right - d->rect.left > DialogMaxSize) d->rect.right = d->rect.left + DialogMaxSize;
    if (d->rect.bottom - d->rect.top > DialogMaxSize) d->rect.bottom = d->rect.top + DialogMaxSize;
}

int32_t KindOf(uint16_t classAtom, uint32_t style) {
    if (classAtom != ButtonClass) return CONTROL_OTHER;
    const uint32_t buttonStyle = style & 0xF;
    if (buttonStyle == 2 || buttonStyle == 3) return CONTROL_CHECKBOX;
    if (buttonStyle == 7) return CONTROL_GROUPBOX;
    return CONTROL_BUTTON;
}
} // namespace

bool ParseDialogTemplate(const uint8_t* data, size_t size, Dialog* d) {
    std::memset(d, 0, sizeof *d);
    d->focus = -1;
    ByteReader in{data, size, 0, data != nullptr};
    const uint32_t style = in.Dword();
    const uint32_t exStyle = in.Dword();
    const int32_t count = in.Word();
    in.Short(); // the template's place is not used: the dialog is placed by its procedure
    in.Short();
    const int32_t cx = in.Short(), cy = in.Short();
    ReadOrdinalOrText(in, nullptr, 0); // menu
    ReadOrdinalOrText(in, nullptr, 0); // class
    ReadText(in, d->title, sizeof d->title);
    if (style & StyleSetFont) {
        in.Word(); // point size: the game's own font is used whatever is named
        ReadText(in, nullptr, 0);
    }
    if (!in.ok || cx <= 0 || cy <= 0) return false;
    d->captionOk = (exStyle & ExStyleCaptionOk) != 0;
    d->rect = {0, 0, DluX(cx) + 2 * DialogBorder,
               DluY(cy) + DialogCaptionHeight + 2 * DialogBorder};
    ClampSize(d);

    for (int32_t i = 0; i < count && in.ok; ++i) {
        in.AlignDword();
        DialogControl c{};
        c.style = in.Dword();
        in.Dword(); // extended style
        const int32_t x = in.Short(), y = in.Short(), w = in.Short(), h = in.Short();
        c.id = in.Word();
        char className[16];
        const uint16_t atom = ReadOrdinalOrText(in, className, sizeof className);
        ReadOrdinalOrText(in, c.text, sizeof c.text);
        in.Skip(in.Word()); // creation data
        if (!in.ok) return false;
        c.rect = {DluX(x), DluY(y), DluX(x + w), DluY(y + h)};
        c.kind = KindOf(atom, c.style);
        if (d->controlCount < DialogMaxControls) d->controls[d->controlCount++] = c;
    }
    return in.ok;
}
