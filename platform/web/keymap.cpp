// The page's keys as the old platform's virtual keys, as the desktop
// numbers them: letters by what they type, the rest by their place.
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
    {"Tab", VK_TAB, 0},           {"Enter", VK_RETURN, 0},         {"NumpadEnter", VK_RETURN, 0},
    {"Escape", VK_ESCAPE, 0},     {"Space", VK_SPACE, ' '},        {"ArrowLeft", VK_LEFT, 0},
    {"ArrowUp", VK_UP, 0},        {"ArrowRight", VK_RIGHT, 0},     {"ArrowDown", VK_DOWN, 0},
    {"Semicolon", VK_OEM_1, ';'}, {"Equal", VK_OEM_PLUS, '='},     {"Comma", VK_OEM_COMMA, ','},
    {"Minus", VK_OEM_MINUS, '-'}, {"Period", VK_OEM_PERIOD, '.'},  {"Slash", VK_OEM_2, '/'},
    {"Backquote", VK_OEM_3, '`'}, {"BracketLeft", VK_OEM_4, '['},  {"Backslash", VK_OEM_5, '\\'},
    {"BracketRight", VK_OEM_6, ']'}, {"Quote", VK_OEM_7, '\''},
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

// The keypad types digits with Num Lock on; with it off, its 4, 8, 6 and 2
// are the arrows.
uint32_t KeypadKey(const char* key) {
    if (key[0] >= '0' && key[0] <= '9' && key[1] == 0)
        return VK_NUMPAD0 + static_cast<uint32_t>(key[0] - '0');
    if (std::strcmp(key, "ArrowLeft") == 0) return VK_LEFT;
    if (std::strcmp(key, "ArrowUp") == 0) return VK_UP;
    if (std::strcmp(key, "ArrowRight") == 0) return VK_RIGHT;
    if (std::strcmp(key, "ArrowDown") == 0) return VK_DOWN;
    return 0;
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
    if (const int32_t f = NumberAfter(code, "F"); f >= 1 && f <= 12)
        return VK_F1 + static_cast<uint32_t>(f - 1);
    if (const int32_t n = NumberAfter(code, "Numpad"); n >= 0 && n <= 9) return KeypadKey(key);
    for (const NamedKey& k : Named)
        if (std::strcmp(code, k.code) == 0) return k.key;
    return 0;
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
