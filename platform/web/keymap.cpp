// SPDX-License-Identifier: GPL-3.0-or-later
// The page's keys as the old platform's virtual keys, as the desktop
// numbers them: letters by what they type (the letter in their place when
// they type none of the Latin alphabet), the rest by their place; keys the
// old platform had no number for above 0xFF, as on the desktop.
#include "platform/web/web.h"

#include "platform/keys.h"

#include <cstring>

namespace {
struct NamedKey {
    const char* code;
    uint32_t key;
    char character; // unshifted, US layout; 0 for none
};

constexpr NamedKey Named[] = {
    {"Backspace", VK_BACK, 0},
    {"Tab", VK_TAB, 0},
    {"Enter", VK_RETURN, 0},
    {"NumpadEnter", VK_RETURN, 0},
    {"ShiftLeft", VK_SHIFT, 0},
    {"ShiftRight", VK_SHIFT, 0},
    {"ControlLeft", VK_CONTROL, 0},
    {"ControlRight", VK_CONTROL, 0},
    {"AltLeft", VK_MENU, 0},
    {"AltRight", VK_MENU, 0},
    {"Pause", VK_PAUSE, 0},
    {"CapsLock", VK_CAPITAL, 0},
    {"Escape", VK_ESCAPE, 0},
    {"Space", VK_SPACE, ' '},
    {"PageUp", VK_PRIOR, 0},
    {"PageDown", VK_NEXT, 0},
    {"End", VK_END, 0},
    {"Home", VK_HOME, 0},
    {"ArrowLeft", VK_LEFT, 0},
    {"ArrowUp", VK_UP, 0},
    {"ArrowRight", VK_RIGHT, 0},
    {"ArrowDown", VK_DOWN, 0},
    {"Select", VK_SELECT, 0},
    {"PrintScreen", VK_SNAPSHOT, 0},
    {"Insert", VK_INSERT, 0},
    {"Delete", VK_DELETE, 0},
    {"Help", VK_HELP, 0},
    {"MetaLeft", VK_LWIN, 0},
    {"OSLeft", VK_LWIN, 0},
    {"MetaRight", VK_RWIN, 0},
    {"OSRight", VK_RWIN, 0},
    {"ContextMenu", VK_APPS, 0},
    {"Sleep", VK_SLEEP, 0},
    {"NumpadMultiply", VK_MULTIPLY, 0},
    {"NumpadAdd", VK_ADD, 0},
    {"NumpadSubtract", VK_SUBTRACT, 0},
    {"NumpadDivide", VK_DIVIDE, 0},
    {"NumpadEqual", VK_OEM_NEC_EQUAL, 0},
    {"NumLock", VK_NUMLOCK, 0},
    {"ScrollLock", VK_SCROLL, 0},
    {"BrowserBack", VK_BROWSER_BACK, 0},
    {"BrowserForward", VK_BROWSER_FORWARD, 0},
    {"BrowserRefresh", VK_BROWSER_REFRESH, 0},
    {"BrowserStop", VK_BROWSER_STOP, 0},
    {"BrowserSearch", VK_BROWSER_SEARCH, 0},
    {"BrowserFavorites", VK_BROWSER_FAVORITES, 0},
    {"BrowserHome", VK_BROWSER_HOME, 0},
    {"AudioVolumeMute", VK_VOLUME_MUTE, 0},
    {"AudioVolumeDown", VK_VOLUME_DOWN, 0},
    {"AudioVolumeUp", VK_VOLUME_UP, 0},
    {"MediaTrackNext", VK_MEDIA_NEXT_TRACK, 0},
    {"MediaTrackPrevious", VK_MEDIA_PREV_TRACK, 0},
    {"MediaStop", VK_MEDIA_STOP, 0},
    {"MediaPlayPause", VK_MEDIA_PLAY_PAUSE, 0},
    {"LaunchMail", VK_LAUNCH_MAIL, 0},
    {"MediaSelect", VK_LAUNCH_MEDIA_SELECT, 0},
    {"LaunchApp1", VK_LAUNCH_APP1, 0},
    {"LaunchApp2", VK_LAUNCH_APP2, 0},
    {"Semicolon", VK_OEM_1, ';'},
    {"Equal", VK_OEM_PLUS, '='},
    {"Comma", VK_OEM_COMMA, ','},
    {"Minus", VK_OEM_MINUS, '-'},
    {"Period", VK_OEM_PERIOD, '.'},
    {"Slash", VK_OEM_2, '/'},
    {"Backquote", VK_OEM_3, '`'},
    {"BracketLeft", VK_OEM_4, '['},
    {"Backslash", VK_OEM_5, '\\'},
    {"BracketRight", VK_OEM_6, ']'},
    {"Quote", VK_OEM_7, '\''},
    {"IntlBackslash", VK_OEM_102, 0},
};

// Keys the old platform had no number for, by their USB HID usage: the
// desktop gives them the same codes.
struct PlacedKey {
    const char* code;
    uint32_t usage;
};

constexpr PlacedKey Placed[] = {
    {"Power", 0x66},   {"Open", 0x74},        {"Props", 0x76},      {"Again", 0x79},
    {"Undo", 0x7A},    {"Cut", 0x7B},         {"Copy", 0x7C},       {"Paste", 0x7D},
    {"Find", 0x7E},    {"NumpadComma", 0x85}, {"IntlRo", 0x87},     {"KanaMode", 0x88},
    {"IntlYen", 0x89}, {"Convert", 0x8A},     {"NonConvert", 0x8B}, {"Lang1", 0x90},
    {"Lang2", 0x91},   {"Lang3", 0x92},       {"Lang4", 0x93},      {"Lang5", 0x94},
};

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The number that ends `text` after `prefix` (one or two digits), or -1.
int32_t NumberAfter(const char* text, const char* prefix) {
    if (!StartsWith(text, prefix)) return -1;
    const char* p = text + std::strlen(prefix);
    int32_t n = 0, digits = 0;
    for (; *p >= '0' && *p <= '9' && digits < 3; ++p, ++digits) n = n * 10 + (*p - '0');
    return *p == 0 && digits > 0 ? n : -1;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The keypad's digits and its point: what they type with Num Lock on; with
// it off, the keys printed under them (4, 8, 6 and 2 the arrows, 5 Clear).
uint32_t KeypadKey(const char* key) {
    if (key[0] >= '0' && key[0] <= '9' && key[1] == 0)
        return VK_NUMPAD0 + static_cast<uint32_t>(key[0] - '0');
    if ((key[0] == '.' || key[0] == ',') && key[1] == 0) return VK_DECIMAL;
    if (std::strcmp(key, "Clear") == 0) return VK_CLEAR;
    for (const NamedKey& k : Named)
        if (std::strcmp(key, k.code) == 0 && k.character == 0) return k.key;
    return VK_OWN;
}
} // namespace

uint32_t VirtualKeyOfDomKey(const char* code, const char* key) {
    if (code == nullptr) return 0;
    if (key == nullptr) key = "";
    // A letter key: what it types, so that another layout's letters are
    // still their own.
    if (IsLetter(key[0]) && key[1] == 0) return static_cast<uint32_t>(Upper(key[0]));
    if (StartsWith(code, "Key") && IsLetter(code[3]) && code[4] == 0)
        return static_cast<uint32_t>(Upper(code[3]));
    if (const int32_t d = NumberAfter(code, "Digit"); d >= 0 && d <= 9)
        return '0' + static_cast<uint32_t>(d);
    if (const int32_t f = NumberAfter(code, "F"); f >= 1 && f <= 24)
        return VK_F1 + static_cast<uint32_t>(f - 1);
    if (const int32_t n = NumberAfter(code, "Numpad"); n >= 0 && n <= 9) return KeypadKey(key);
    if (std::strcmp(code, "NumpadDecimal") == 0) return KeypadKey(key);
    for (const NamedKey& k : Named)
        if (std::strcmp(code, k.code) == 0) return k.key;
    for (const PlacedKey& k : Placed)
        if (std::strcmp(code, k.code) == 0) return VK_OWN + k.usage;
    // A key the page cannot place is still a key.
    return VK_OWN;
}

uint32_t UnshiftedCharacterOfDomKey(const char* code) {
    if (code == nullptr) return 0;
    if (StartsWith(code, "Key") && IsLetter(code[3]) && code[4] == 0)
        return static_cast<uint32_t>(code[3] - 'A' + 'a');
    if (const int32_t d = NumberAfter(code, "Digit"); d >= 0 && d <= 9)
        return '0' + static_cast<uint32_t>(d);
    for (const NamedKey& k : Named)
        if (std::strcmp(code, k.code) == 0) return static_cast<uint32_t>(k.character);
    return 0;
}
