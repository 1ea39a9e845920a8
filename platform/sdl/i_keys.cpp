// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard: an SDL key as the old platform's virtual-key code (by what
// the layout types there where that is a Latin letter, a digit or a known
// mark, else by the key's place), and whether a key is held now.
#include "platform/sdl/desktop.h"

#include "platform/keys.h"

namespace {
// The punctuation keys of a US keyboard, by the character they type.
uint32_t PunctuationKey(SDL_Keycode key) {
    switch (key) {
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: return 0;
    }
}

// The keypad's digits and its point: themselves with Num Lock on; with it
// off, the keys printed under them (4, 8, 6 and 2 the arrows, 5 Clear).
uint32_t KeypadKey(SDL_Scancode scancode, uint16_t modifiers) {
    static constexpr uint32_t WithoutNumLock[10] = {
        VK_INSERT, VK_END, VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR, VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR};
    const bool numLock = (modifiers & KMOD_NUM) != 0;
    if (scancode == SDL_SCANCODE_KP_PERIOD) return numLock ? VK_DECIMAL : VK_DELETE;
    int32_t digit = -1;
    if (scancode == SDL_SCANCODE_KP_0) digit = 0;
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        digit = scancode - SDL_SCANCODE_KP_1 + 1;
    if (digit < 0) return 0;
    return numLock ? VK_NUMPAD0 + static_cast<uint32_t>(digit) : WithoutNumLock[digit];
}

// The keys that type no character, and the keypad's operators, by their
// place; every layout has them in the same place.
uint32_t NamedKey(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return VK_F1 + static_cast<uint32_t>(scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
        return VK_F1 + 12 + static_cast<uint32_t>(scancode - SDL_SCANCODE_F13);
    switch (scancode) {
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_EQUALS: return VK_OEM_NEC_EQUAL;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_EXECUTE: return VK_EXECUTE;
    case SDL_SCANCODE_HELP: return VK_HELP;
    case SDL_SCANCODE_SELECT: return VK_SELECT;
    case SDL_SCANCODE_CLEAR: return VK_CLEAR;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return VK_MENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    case SDL_SCANCODE_SLEEP: return VK_SLEEP;
    case SDL_SCANCODE_MUTE:
    case SDL_SCANCODE_AUDIOMUTE: return VK_VOLUME_MUTE;
    case SDL_SCANCODE_VOLUMEDOWN: return VK_VOLUME_DOWN;
    case SDL_SCANCODE_VOLUMEUP: return VK_VOLUME_UP;
    case SDL_SCANCODE_AUDIONEXT: return VK_MEDIA_NEXT_TRACK;
    case SDL_SCANCODE_AUDIOPREV: return VK_MEDIA_PREV_TRACK;
    case SDL_SCANCODE_AUDIOSTOP: return VK_MEDIA_STOP;
    case SDL_SCANCODE_AUDIOPLAY: return VK_MEDIA_PLAY_PAUSE;
    case SDL_SCANCODE_MEDIASELECT: return VK_LAUNCH_MEDIA_SELECT;
    case SDL_SCANCODE_MAIL: return VK_LAUNCH_MAIL;
    case SDL_SCANCODE_COMPUTER: return VK_LAUNCH_APP1;
    case SDL_SCANCODE_CALCULATOR: return VK_LAUNCH_APP2;
    case SDL_SCANCODE_AC_SEARCH: return VK_BROWSER_SEARCH;
    case SDL_SCANCODE_AC_HOME: return VK_BROWSER_HOME;
    case SDL_SCANCODE_AC_BACK: return VK_BROWSER_BACK;
    case SDL_SCANCODE_AC_FORWARD: return VK_BROWSER_FORWARD;
    case SDL_SCANCODE_AC_STOP: return VK_BROWSER_STOP;
    case SDL_SCANCODE_AC_REFRESH: return VK_BROWSER_REFRESH;
    case SDL_SCANCODE_AC_BOOKMARKS: return VK_BROWSER_FAVORITES;
    default: return 0;
    }
}

// A character key by its place on a US keyboard: for a layout that types
// no Latin letter or no known punctuation there.
uint32_t PlaceKey(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + static_cast<uint32_t>(scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + static_cast<uint32_t>(scancode - SDL_SCANCODE_1);
    switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    default: return 0;
    }
}
} // namespace

uint32_t VirtualKeyOf(SDL_Scancode scancode, SDL_Keycode key, uint16_t modifiers) {
    // The keypad by its place and Num Lock, whatever the layout says.
    if (const uint32_t code = KeypadKey(scancode, modifiers)) return code;
    // What the layout has there: a letter, a digit, a known punctuation
    // mark, or a key that types nothing (a key moved by the layout, such as
    // Caps Lock made Escape, is what it was made).
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<uint32_t>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<uint32_t>(key - SDLK_0);
    if (const uint32_t code = PunctuationKey(key)) return code;
    switch (key) {
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_DELETE: return VK_DELETE;
    default: break;
    }
    if ((key & SDLK_SCANCODE_MASK) != 0) {
        if (const uint32_t code = NamedKey(static_cast<SDL_Scancode>(key & ~SDLK_SCANCODE_MASK)))
            return code;
    }
    if (const uint32_t code = NamedKey(scancode)) return code;
    // Another script's letter, or a mark of its own: the key's place.
    if (const uint32_t code = PlaceKey(scancode)) return code;
    const auto place = static_cast<uint32_t>(scancode);
    return place < SDL_NUM_SCANCODES ? VK_OWN + place : VK_OWN;
}

bool PlatformKeyHeld(uint32_t key) {
    const SDL_Keymod mod = SDL_GetModState();
    if (key == VK_SHIFT && (mod & KMOD_SHIFT) != 0) return true;
    if (key == VK_CONTROL && (mod & KMOD_CTRL) != 0) return true;
    if (key == VK_MENU && (mod & KMOD_ALT) != 0) return true;
    int32_t count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    // Every key that has this code: Enter and keypad Enter are both 13.
    for (int32_t place = 0; place < count; ++place) {
        if (state[place] == 0) continue;
        const auto scancode = static_cast<SDL_Scancode>(place);
        if (VirtualKeyOf(scancode, SDL_GetKeyFromScancode(scancode), static_cast<uint16_t>(mod)) ==
            key)
            return true;
    }
    return false;
}
