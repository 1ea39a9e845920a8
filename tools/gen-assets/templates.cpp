// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/templates.h"

#include "res/ids.h"

#include <cstdint>

namespace {

// UTF-16LE text and its terminating zero.
void PutText(Bytes& out, const char16_t* text) {
    for (const char16_t* p = text; *p != 0; p++) PutU16(out, *p);
    PutU16(out, 0);
}

struct DialogItem {
    uint32_t Style;
    int32_t X, Y, W, H;
    uint32_t Id;
    const char16_t* Text;
};

constexpr uint32_t CheckBox = 0x50010003;   // child, visible, tab stop, auto check box
constexpr uint32_t GroupBox = 0x50000007;   // child, visible, group box
constexpr uint32_t PushButton = 0x50010000; // child, visible, tab stop

// The four key-repeat choices in the order rotation, left, down, right,
// then the frame round them and the two buttons.
constexpr DialogItem Items[] = {
    {CheckBox, 10, 20, 37, 9, IDC_REPEAT_FIRST, u"Rotation"},
    {CheckBox, 50, 20, 37, 9, IDC_REPEAT_FIRST + 1, u"Left"},
    {CheckBox, 10, 30, 37, 9, IDC_REPEAT_FIRST + 2, u"Down"},
    {CheckBox, 50, 30, 37, 9, IDC_REPEAT_FIRST + 3, u"Right"},
    {GroupBox, 5, 5, 90, 40, 65535, u"Key Repeat"},
    {PushButton, 5, 50, 40, 15, 1, u"OK"},
    {PushButton, 55, 50, 40, 15, 2, u"CANCEL"},
};

} // namespace

Bytes EncodeOptionsDialog() {
    Bytes out;
    PutU32(out, 0x80C800C0); // pop-up, caption, system menu, modal frame, set-font
    PutU32(out, 0x80000000); // an OK button in the caption
    PutU16(out, sizeof Items / sizeof Items[0]);
    PutI16(out, 0);
    PutI16(out, 0);
    PutI16(out, 103);
    PutI16(out, 69);
    PutU16(out, 0); // no menu
    PutU16(out, 0); // the standard dialog class
    PutText(out, u"Option");
    PutU16(out, 9);
    PutText(out, u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"); // MS P Gothic, full-width
    for (const DialogItem& item : Items) {
        PadTo(out, 4);
        PutU32(out, item.Style);
        PutU32(out, 0);
        PutI16(out, item.X);
        PutI16(out, item.Y);
        PutI16(out, item.W);
        PutI16(out, item.H);
        PutU16(out, item.Id);
        PutU16(out, 0xFFFF); // predefined class by number:
        PutU16(out, 0x0080); // button
        PutText(out, item.Text);
        PutU16(out, 0); // no creation data
    }
    return out;
}

Bytes EncodeAccelerators() {
    constexpr uint32_t Virtual = 0x01, NoInvert = 0x02, Alt = 0x10, Last = 0x80;
    Bytes out;
    // Alt + '/' as a character: command 40003, which nothing handles.
    PutU16(out, NoInvert | Alt);
    PutU16(out, '/');
    PutU16(out, 40003);
    PutU16(out, 0);
    // Alt + F4 as a virtual key: command 40002 closes the game.
    PutU16(out, Last | Alt | NoInvert | Virtual);
    PutU16(out, 0x73);
    PutU16(out, 40002);
    PutU16(out, 0);
    return out;
}
