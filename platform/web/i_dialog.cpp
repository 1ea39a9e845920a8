// SPDX-License-Identifier: GPL-3.0-or-later
// The game's dialog as a form of the page's own, for a finger: the dialog
// the game draws is sized for its small picture (boxes of a few pixels), so
// on a page that can be touched the page lays a form over it with the same
// boxes and buttons in the same order, each a target a finger can hit.
// Ticking a box or pressing a button there sends the game's dialog the
// event its own box or button would have, so the drawn dialog, the keys
// and the form stay one dialog. The form's script is js/dialog.js.
#include "platform/web/web.h"

#include <cstdio>
#include <cstring>
#include <emscripten.h>

extern "C" {
// The form's text: the title on the first line, then a line for each choice,
// "B" (a button) or "C" (a check box), its id, its state and its text, the
// fields separated by '|'.
void js_offer_dialog(const char* text);
void js_withdraw_dialog();
void js_show_status(const char* text);
void js_offer_replay(const char* code);
void js_offer_game(const char* code);

// A box of the form was ticked (1) or cleared (0), or a button pressed.
EMSCRIPTEN_KEEPALIVE void WebDialogCheck(int id, int checked) {
    PlatformPostEvent(CheckEvent(id, checked != 0 ? 1 : 0));
    WakeLoop();
}
EMSCRIPTEN_KEEPALIVE void WebDialogCommand(int id) {
    PlatformPostEvent(CommandEvent(id));
    WakeLoop();
}
}

namespace {
// Appends `text` to `out` without the separators the form's text uses.
void AppendField(char* out, size_t size, const char* text) {
    size_t at = std::strlen(out);
    for (const char* p = text; *p != 0 && at + 1 < size; ++p)
        out[at++] = (*p == '|' || *p == '\n') ? ' ' : *p;
    out[at] = 0;
}
} // namespace

void PlatformOfferDialog(Window, const char* title, const DialogChoice* choices, int32_t count) {
    char text[2048] = "";
    AppendField(text, sizeof text, title != nullptr ? title : "");
    for (int32_t i = 0; i < count; ++i) {
        char head[48];
        std::snprintf(head, sizeof head, "\n%c|%d|%d|", choices[i].button ? 'B' : 'C',
                      static_cast<int>(choices[i].id), choices[i].checked != 0 ? 1 : 0);
        std::strncat(text, head, sizeof text - std::strlen(text) - 1);
        AppendField(text, sizeof text, choices[i].text != nullptr ? choices[i].text : "");
    }
    js_offer_dialog(text);
}

void PlatformWithdrawDialog(Window) {
    js_withdraw_dialog();
}

void PlatformShowStatus(Window, const char* text) {
    js_show_status(text != nullptr ? text : "");
}

// The page's offers are its own to lay out (js/dialog.js); until it has
// them, nothing is offered.
void PlatformOfferReplay(Window, const char* code) {
    js_offer_replay(code != nullptr ? code : "");
}

void PlatformOfferGame(Window, const char* code) {
    js_offer_game(code != nullptr ? code : "");
}
