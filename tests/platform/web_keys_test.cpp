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
    EXPECT_EQ(VirtualKeyOfDomKey("Numpad7", "Home"), 0u);
    EXPECT_EQ(VirtualKeyOfDomKey("Numpad0", "Insert"), 0u);
}

TEST(WebKeys, KeysWithoutACodeAreNotDelivered) {
    for (const char* code : {"ShiftLeft", "ControlRight", "AltLeft", "MetaLeft", "CapsLock", "F13",
                             "AudioVolumeMute", "KeyAB", "Digit", "F0", "Numpad5x", "", "Unidentified"})
        EXPECT_EQ(VirtualKeyOfDomKey(code, "Unidentified"), 0u) << code;
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
