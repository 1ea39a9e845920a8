// Key codes: the old platform's virtual-key numbers, which every key message
// carries whichever system the key came from. Letters are their upper-case
// character codes ('A' to 'Z'), the digit keys '0' to '9'.
#pragma once

#include <cstdint>

enum VirtualKey : uint32_t {
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18, // Alt
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_O = 'O',
    VK_S = 'S',
    VK_NUMPAD0 = 0x60, // to 0x69 for keypad 9
    VK_F1 = 0x70,      // to 0x7B for F12
    VK_F4 = 0x73,
    // The punctuation keys of a US keyboard.
    VK_OEM_1 = 0xBA,      // ;
    VK_OEM_PLUS = 0xBB,   // =
    VK_OEM_COMMA = 0xBC,  // ,
    VK_OEM_MINUS = 0xBD,  // -
    VK_OEM_PERIOD = 0xBE, // .
    VK_OEM_2 = 0xBF,      // /
    VK_OEM_3 = 0xC0,      // `
    VK_OEM_4 = 0xDB,      // [
    VK_OEM_5 = 0xDC,      // backslash
    VK_OEM_6 = 0xDD,      // ]
    VK_OEM_7 = 0xDE,      // '
    // A game controller's B, which stands for no keyboard key.
    VK_PAD_B = 196,
};

// Key messages from a game controller carry this flag in their long
// parameter; the code is the key the controller stands in for (the D-pad
// and the left stick give the arrows, A Enter, Start Space, Back Escape,
// Y O, X S, B VK_PAD_B).
constexpr int32_t KEY_FROM_PAD = 0x01000000;
