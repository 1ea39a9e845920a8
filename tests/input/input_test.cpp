// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/platform.h"
#include "render/buttons.h"
#include "render/layout.h"

#include <gtest/gtest.h>

namespace {

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetInputState();
        ResetButtons();
        LayoutScreen(320, 240);
        LayoutButtons();
    }
    void TearDown() override { ReleaseScreen(); }

    // The pen at window pixel (x, y), converted as the shell does.
    static void PenDown(int x, int y) {
        int32_t lx = 0, ly = 0;
        WindowToLogical(x, y, &lx, &ly);
        OnPenDown(lx, ly);
    }
};

struct Row {
    uint16_t held, pressed, current, newChar, last;
};

void ExpectRow(int tick, const Row& r) {
    EXPECT_EQ(InputState.HeldKeys, r.held) << "tick " << tick;
    EXPECT_EQ(InputState.PressedKeys, r.pressed) << "tick " << tick;
    EXPECT_EQ(InputState.CurrentChar, r.current) << "tick " << tick;
    EXPECT_EQ(InputState.NewChar, r.newChar) << "tick " << tick;
    EXPECT_EQ(InputState.LastChar, r.last) << "tick " << tick;
}

TEST_F(InputTest, KeysAndPenAcrossFourLatchesTickByTick) {
    const Button& left = Buttons.Table[BUTTON_LEFT];
    OnKeyDown(VK_LEFT);
    LatchInput();
    ExpectRow(1, {0x0001, 0x0001, 37, 37, 37});
    OnKeyDown(VK_LEFT); // the keyboard's auto-repeat
    LatchInput();
    ExpectRow(2, {0x0001, 0, 37, 0, 37});
    OnKeyUp(VK_LEFT);
    LatchInput();
    ExpectRow(3, {0, 0, 0, 0, 0});
    OnKeyDown(VK_LEFT);
    LatchInput();
    ExpectRow(4, {0x0001, 0x0001, 37, 37, 37});
    OnKeyUp(VK_LEFT);
    PenDown(left.x + 5, left.y + 5);
    LatchInput();
    ExpectRow(5, {0x8001, 0x8000, 37, 0, 37});
    LatchInput();
    ExpectRow(6, {0x8001, 0, 37, 0, 37});
    OnPenUp();
    LatchInput();
    ExpectRow(7, {0, 0, 0, 0, 0});
}

TEST_F(InputTest, PressesBetweenTwoTicksAreNotSeenAndKeysOnlyCountOnce) {
    OnKeyDown(VK_RIGHT);
    OnKeyUp(VK_RIGHT);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, 0);
    EXPECT_EQ(InputState.NewChar, 0);

    // A held A, then B: B is new; releasing A clears the current key, and
    // B's next auto-repeat reports it again.
    OnKeyDown('A');
    LatchInput();
    EXPECT_EQ(InputState.NewChar, 'A');
    OnKeyDown('B');
    LatchInput();
    EXPECT_EQ(InputState.NewChar, 'B');
    OnKeyUp('A');
    LatchInput();
    EXPECT_EQ(InputState.NewChar, 0);
    OnKeyDown('B');
    LatchInput();
    EXPECT_EQ(InputState.NewChar, 'B');

    // Only the five action keys and the pen set flags; a key-up clears only
    // its own flag and never the pen's.
    ResetInputState();
    OnKeyDown(VK_ESCAPE);
    OnKeyDown(VK_SPACE);
    OnKeyDown('S');
    EXPECT_EQ(InputState.HeldKeys, 0);
    OnKeyDown(VK_RETURN);
    OnKeyDown(VK_UP);
    OnKeyDown(VK_DOWN);
    PenDown(5, 200);
    EXPECT_EQ(InputState.HeldKeys, KEY_ENTER | KEY_UP | KEY_DOWN | MOUSE_DOWN);
    OnKeyUp(VK_UP);
    EXPECT_EQ(InputState.HeldKeys, KEY_ENTER | KEY_DOWN | MOUSE_DOWN);
    OnKeyUp(0x10000 + VK_DOWN); // only the whole 32-bit code counts
    EXPECT_EQ(InputState.HeldKeys, KEY_ENTER | KEY_DOWN | MOUSE_DOWN);
    OnPenUp();
    EXPECT_EQ(InputState.HeldKeys, 0) << "the pen going up lets go of everything";
}

TEST_F(InputTest, ATapIsItsButtonsKeyAndMissesOnTheEdges) {
    const Button& rotate = Buttons.Table[BUTTON_ROTATE];
    PenDown(rotate.x + 1, rotate.y + 1);
    EXPECT_EQ(InputState.HeldKeys, MOUSE_DOWN | KEY_ENTER);
    EXPECT_EQ(InputState.CurrentChar, VK_RETURN);
    OnPenUp();

    for (const Button* b = Buttons.Table; b->key != 0; ++b) {
        const int edges[4][2] = {
            {b->x, b->y + 2}, {b->x + b->w, b->y + 2}, {b->x + 2, b->y}, {b->x + 2, b->y + b->h}};
        for (const auto& e : edges) {
            ResetInputState();
            InputState.MouseX = static_cast<uint16_t>(e[0]);
            InputState.MouseY = static_cast<uint16_t>(e[1]);
            const uint16_t k = HitTestButtons();
            EXPECT_NE(k, b->key) << "edge " << e[0] << "," << e[1] << " of button key " << b->key;
        }
    }
    // The retired ninth button is never hit, and a tap outside every button
    // is key 0.
    const Button& ninth = Buttons.Table[BUTTON_HIDDEN];
    PenDown(ninth.x + 8, ninth.y + 8);
    EXPECT_EQ(InputState.CurrentChar, 0);
    EXPECT_EQ(InputState.HeldKeys, MOUSE_DOWN);
    OnPenUp();

    // The tap's flag stays while the pen stays down, even off the button.
    const Button& left = Buttons.Table[BUTTON_LEFT];
    PenDown(left.x + 3, left.y + 3);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, MOUSE_DOWN | KEY_LEFT);
    LatchInput();
    EXPECT_EQ(InputState.HeldKeys, MOUSE_DOWN | KEY_LEFT);
}

TEST_F(InputTest, PenPositionsAreMappedToLogicalPixels) {
    ReleaseScreen();
    LayoutScreen(640, 480);
    LayoutButtons();
    PenDown(449, 21);
    EXPECT_EQ(InputState.MouseX, 224);
    EXPECT_EQ(InputState.MouseY, 10);
    OnPenUp();
    EXPECT_EQ(InputState.MouseX, 0);
    EXPECT_EQ(InputState.MouseY, 0);
}

} // namespace
