// SPDX-License-Identifier: GPL-3.0-or-later
// Key codes: the old platform's virtual-key numbers, which every key event
// carries whichever system the key came from. Letters are their upper-case
// character codes ('A' to 'Z'), the digit keys '0' to '9'. A letter key is
// the letter it types; on a layout whose letters are not Latin (Russian,
// Greek), the letter at its place on a US keyboard.
#pragma once

#include <cstdint>

enum VirtualKey : uint32_t {
    VK_BACK = 8, // Backspace
    VK_TAB = 9,
    VK_CLEAR = 12, // the keypad's 5 without Num Lock
    VK_RETURN = 13,
    VK_SHIFT = 16,   // either Shift
    VK_CONTROL = 17, // either Ctrl
    VK_MENU = 18,    // either Alt
    VK_PAUSE = 19,
    VK_CAPITAL = 20, // Caps Lock
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33, // Page Up
    VK_NEXT = 34,  // Page Down
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_SELECT = 41,
    VK_EXECUTE = 43,
    VK_SNAPSHOT = 44, // Print Screen
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_HELP = 47,
    VK_O = 'O',
    VK_S = 'S',
    VK_LWIN = 91, // the Windows (Super) keys
    VK_RWIN = 92,
    VK_APPS = 93, // the context-menu key
    VK_SLEEP = 95,
    VK_NUMPAD0 = 0x60,  // to 0x69 for keypad 9, with Num Lock on
    VK_MULTIPLY = 0x6A, // the keypad's operators
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70, // to 0x87 for F24
    VK_F4 = 0x73,
    VK_F24 = 0x87,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,        // Scroll Lock
    VK_OEM_NEC_EQUAL = 0x92, // the keypad's =
    // Browser, sound and media keys.
    VK_BROWSER_BACK = 0xA6,
    VK_BROWSER_FORWARD = 0xA7,
    VK_BROWSER_REFRESH = 0xA8,
    VK_BROWSER_STOP = 0xA9,
    VK_BROWSER_SEARCH = 0xAA,
    VK_BROWSER_FAVORITES = 0xAB,
    VK_BROWSER_HOME = 0xAC,
    VK_VOLUME_MUTE = 0xAD,
    VK_VOLUME_DOWN = 0xAE,
    VK_VOLUME_UP = 0xAF,
    VK_MEDIA_NEXT_TRACK = 0xB0,
    VK_MEDIA_PREV_TRACK = 0xB1,
    VK_MEDIA_STOP = 0xB2,
    VK_MEDIA_PLAY_PAUSE = 0xB3,
    VK_LAUNCH_MAIL = 0xB4,
    VK_LAUNCH_MEDIA_SELECT = 0xB5,
    VK_LAUNCH_APP1 = 0xB6,
    VK_LAUNCH_APP2 = 0xB7,
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
    VK_OEM_102 = 0xE2,    // the extra key beside the left Shift of a European keyboard
    // A game controller's B, which stands for no keyboard key.
    VK_PAD_B = 196,
    // A key the old platform had no number for is still a key: it comes as
    // VK_OWN + its place on the keyboard, the USB HID usage number (which
    // SDL calls the scancode), so 0x101 to 0x2FF, 0x100 when even that is
    // unknown. Such codes are never any key's above.
    VK_OWN = 0x100,
};
