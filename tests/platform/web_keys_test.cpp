// SPDX-License-Identifier: GPL-3.0-or-later
// The browser's keys as the desktop numbers them: the page's KeyboardEvent
// `code` and `key` to virtual keys, and Alt+key's character.
#include "platform/keys.h"
#include "platform/web/web.h"

#include <gtest/gtest.h>

namespace {

TEST(WebKeys, TheGameKeysHaveTheDesktopsCodes) {
    EXPECT_EQ(VirtualKeyOfDomKey("ArrowLeft", "ArrowLeft"), 37u);
    EXPECT_EQ(VirtualKeyOfDomKey("ArrowUp", "ArrowUp"), 38u);
    EXPECT_EQ(VirtualKeyOfDomKey("ArrowRight", "ArrowRight"), 39u);
    EXPECT_EQ(VirtualKeyOfDomKey("ArrowDown", "ArrowDown"), 40u);
    EXPECT_EQ(VirtualKeyOfDomKey("Enter", "Enter"), 13u);
    EXPECT_EQ(VirtualKeyOfDomKey("NumpadEnter", "Enter"), 13u);
    EXPECT_EQ(VirtualKeyOfDomKey("Space", " "), 32u);
    EXPECT_EQ(VirtualKeyOfDomKey("Escape", "Escape"), 27u);
    EXPECT_EQ(VirtualKeyOfDomKey("Tab", "Tab"), 9u);
    EXPECT_EQ(VirtualKeyOfDomKey("KeyO", "o"), 79u);
    EXPECT_EQ(VirtualKeyOfDomKey("KeyS", "S"), 83u) << "with Shift or Caps Lock too";
    EXPECT_EQ(VirtualKeyOfDomKey("F4", "F4"), 0x73u);
    EXPECT_EQ(VirtualKeyOfDomKey("F12", "F12"), 0x7Bu);
    EXPECT_EQ(VirtualKeyOfDomKey("Digit7", "7"), '7');
    EXPECT_EQ(VirtualKeyOfDomKey("Slash", "/"), 0xBFu);
    EXPECT_EQ(VirtualKeyOfDomKey("Quote", "'"), 0xDEu);
}

TEST(WebKeys, LettersAreWhatTheyTypeAndTheKeypadFollowsNumLock) {
    // A French keyboard's A is where a US keyboard has Q.
    EXPECT_EQ(VirtualKeyOfDomKey("KeyQ", "a"), 'A');
    // A letter key typing something else (a dead key, another script):
    // the place's letter.
    EXPECT_EQ(VirtualKeyOfDomKey("KeyE", "Dead"), 'E');
    EXPECT_EQ(VirtualKeyOfDomKey("Numpad4", "4"), 0x64u);
    EXPECT_EQ(VirtualKeyOfDomKey("Numpad4", "ArrowLeft"), 37u);
    EXPECT_EQ(VirtualKeyOfDomKey("Numpad2", "ArrowDown"), 40u);
    // Without Num Lock, the keys printed under the digits.
    EXPECT_EQ(VirtualKeyOfDomKey("Numpad7", "Home"), 36u);
    EXPECT_EQ(VirtualKeyOfDomKey("Numpad0", "Insert"), 45u);
    EXPECT_EQ(VirtualKeyOfDomKey("Numpad5", "Clear"), 12u);
    EXPECT_EQ(VirtualKeyOfDomKey("Numpad3", "PageDown"), 34u);
    EXPECT_EQ(VirtualKeyOfDomKey("NumpadDecimal", "Delete"), 46u);
    EXPECT_EQ(VirtualKeyOfDomKey("NumpadDecimal", ","), 0x6Eu) << "a German keypad's point";
    // Another script: the letter in the key's place.
    EXPECT_EQ(VirtualKeyOfDomKey("KeyO", "\xD1\x89"), 'O') << "Russian щ";
    EXPECT_EQ(VirtualKeyOfDomKey("KeyS", "\xCF\x83"), 'S') << "Greek σ";
}

TEST(WebKeys, KeysThatTypeNothingHaveTheDesktopsCodes) {
    const struct {
        const char* code;
        uint32_t key;
    } keys[] = {{"Backspace", 8},
                {"ShiftLeft", 16},
                {"ShiftRight", 16},
                {"ControlRight", 17},
                {"AltLeft", 18},
                {"Pause", 19},
                {"CapsLock", 20},
                {"PageUp", 33},
                {"End", 35},
                {"Insert", 45},
                {"Delete", 46},
                {"MetaLeft", 91},
                {"ContextMenu", 93},
                {"NumpadMultiply", 0x6A},
                {"NumpadDivide", 0x6F},
                {"F13", 124},
                {"F24", 135},
                {"NumLock", 144},
                {"ScrollLock", 145},
                {"AudioVolumeMute", 0xAD},
                {"IntlBackslash", 0xE2}};
    for (const auto& k : keys)
        EXPECT_EQ(VirtualKeyOfDomKey(k.code, "Unidentified"), k.key) << k.code;
}

TEST(WebKeys, KeysWithoutAnOldCodeComeWithOneOfTheirOwn) {
    // The desktop's: 0x100 and the key's USB place.
    EXPECT_EQ(VirtualKeyOfDomKey("Power", ""), 0x166u);
    EXPECT_EQ(VirtualKeyOfDomKey("IntlRo", "\\"), 0x187u);
    EXPECT_EQ(VirtualKeyOfDomKey("Lang1", "HangulMode"), 0x190u);
    // One the page cannot place.
    for (const char* code : {"KeyAB", "Digit", "F0", "F25", "Numpad5x", "", "Unidentified", "Fn"})
        EXPECT_EQ(VirtualKeyOfDomKey(code, "Unidentified"), 0x100u) << code;
    // No key at all.
    EXPECT_EQ(VirtualKeyOfDomKey(nullptr, "a"), 0u);
    EXPECT_EQ(VirtualKeyOfDomKey("KeyA", nullptr), 'A');
}

TEST(WebKeys, AltKeysTypeTheirUnshiftedCharacter) {
    EXPECT_EQ(UnshiftedCharacterOfDomKey("Slash"), '/') << "Alt+/ is an accelerator";
    EXPECT_EQ(UnshiftedCharacterOfDomKey("KeyQ"), 'q');
    EXPECT_EQ(UnshiftedCharacterOfDomKey("Digit3"), '3');
    EXPECT_EQ(UnshiftedCharacterOfDomKey("Space"), ' ');
    EXPECT_EQ(UnshiftedCharacterOfDomKey("Backslash"), '\\');
    EXPECT_EQ(UnshiftedCharacterOfDomKey("F4"), 0u);
    EXPECT_EQ(UnshiftedCharacterOfDomKey("ArrowLeft"), 0u);
    EXPECT_EQ(UnshiftedCharacterOfDomKey(nullptr), 0u);
}

} // namespace
