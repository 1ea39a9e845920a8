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

// A finger, the pen or a touch control pressed and let go between two
// latches still counts, once; a keyboard key does not (see above).
TEST_F(InputTest, ATapShorterThanATickIsPressedOnce) {
    const Button& left = Buttons.Table[BUTTON_LEFT];
    const Button& pause = Buttons.Table[BUTTON_PAUSE];
    PenDown(left.x + 3, left.y + 3);
    OnPenUp();
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, MOUSE_DOWN | KEY_LEFT);
    EXPECT_EQ(InputState.NewChar, VK_LEFT);
    EXPECT_EQ(InputState.HeldKeys, 0);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, 0) << "one tap, one press";
    EXPECT_EQ(InputState.NewChar, 0);

    // Held over a latch, let go and tapped again before the next: two
    // presses, one at each latch.
    PenDown(left.x + 3, left.y + 3);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, MOUSE_DOWN | KEY_LEFT);
    OnPenUp();
    PenDown(left.x + 3, left.y + 3);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, MOUSE_DOWN | KEY_LEFT);
    EXPECT_EQ(InputState.NewChar, VK_LEFT);
    OnPenUp();
    LatchInput();

    // The same button tapped again on the next tick is a second press.
    PenDown(left.x + 3, left.y + 3);
    OnPenUp();
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, MOUSE_DOWN | KEY_LEFT);
    EXPECT_EQ(InputState.NewChar, VK_LEFT);

    // A button whose key has no flag acts by its character alone.
    OnFingerDown(3, pause.x + 3, pause.y + 3);
    OnFingerUp(3);
    LatchInput();
    EXPECT_EQ(InputState.NewChar, VK_SPACE);
    LatchInput();
    EXPECT_EQ(InputState.NewChar, 0);

    // Let go and pressed again by a touch control within one tick, held at
    // the latch: a second press.
    OnTouchKeyDown(VK_SPACE);
    LatchInput();
    EXPECT_EQ(InputState.NewChar, VK_SPACE);
    OnTouchKeyUp(VK_SPACE);
    OnTouchKeyDown(VK_SPACE);
    LatchInput();
    EXPECT_EQ(InputState.NewChar, VK_SPACE);
    OnTouchKeyUp(VK_SPACE);
    LatchInput();

    // A touch control's key: down and up within the tick, pressed once.
    OnTouchKeyDown(VK_DOWN);
    OnTouchKeyUp(VK_DOWN);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, KEY_DOWN);
    EXPECT_EQ(InputState.NewChar, VK_DOWN);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, 0);
    // Held over the tick, it is an ordinary key.
    OnTouchKeyDown(VK_RIGHT);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, KEY_RIGHT);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, 0);
    EXPECT_EQ(InputState.HeldKeys, KEY_RIGHT);
}

// Three quick taps of one control within a tick (a thumb drumming Left):
// each is a press, on three ticks in a row, and the ticks between are not
// idle; a second tap of Pause pauses and goes on. Keys keep their rule.
TEST_F(InputTest, EveryTapCountsEachOnATickOfItsOwn) {
    const Button& left = Buttons.Table[BUTTON_LEFT];
    for (int i = 0; i < 3; ++i) {
        PenDown(left.x + 3, left.y + 3);
        OnPenUp();
    }
    for (int tick = 0; tick < 3; ++tick) {
        LatchInput();
        EXPECT_EQ(InputState.PressedKeys & KEY_LEFT, KEY_LEFT) << "tap " << tick + 1;
        EXPECT_EQ(InputState.NewChar, VK_LEFT) << "tap " << tick + 1;
        EXPECT_EQ(TapPending(), tick < 2) << "after tap " << tick + 1;
    }
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, 0) << "three taps, three presses";

    for (int i = 0; i < 2; ++i) {
        OnTouchKeyDown(VK_SPACE);
        OnTouchKeyUp(VK_SPACE);
    }
    LatchInput();
    EXPECT_EQ(InputState.NewChar, VK_SPACE);
    LatchInput();
    EXPECT_EQ(InputState.NewChar, VK_SPACE) << "the second tap of Pause";
    LatchInput();
    EXPECT_EQ(InputState.NewChar, 0);

    // A keyboard key pressed twice within a tick is one press, as before.
    OnKeyDown(VK_LEFT);
    OnKeyUp(VK_LEFT);
    OnKeyDown(VK_LEFT);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, KEY_LEFT);
    OnKeyUp(VK_LEFT);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, 0);
    EXPECT_FALSE(TapPending());
}

TEST_F(InputTest, EachFingerPressesWhatIsUnderItAndSlidesOntoTheNext) {
    const Button& drop = Buttons.Table[BUTTON_DROP];
    const Button& left = Buttons.Table[BUTTON_LEFT];
    const Button& right = Buttons.Table[BUTTON_RIGHT];
    OnFingerDown(0, drop.x + 3, drop.y + 3);
    LatchInput();
    EXPECT_EQ(InputState.HeldKeys, MOUSE_DOWN | KEY_DOWN);
    // A second finger taps Left while the first holds Down: both act.
    OnFingerDown(1, left.x + 3, left.y + 3);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, KEY_LEFT);
    EXPECT_EQ(InputState.HeldKeys, MOUSE_DOWN | KEY_DOWN | KEY_LEFT);
    OnFingerUp(1);
    EXPECT_EQ(InputState.HeldKeys, MOUSE_DOWN | KEY_DOWN) << "Down stays held by its finger";
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, 0);

    // The first finger slides onto Right: Down goes up, Right is pressed.
    OnFingerMove(0, drop.x + 5, drop.y + 4); // still on Down: nothing
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, 0);
    OnFingerMove(0, right.x + 3, right.y + 3);
    LatchInput();
    EXPECT_EQ(InputState.HeldKeys, MOUSE_DOWN | KEY_RIGHT);
    EXPECT_EQ(InputState.PressedKeys, KEY_RIGHT);
    EXPECT_EQ(InputState.NewChar, VK_RIGHT);
    // Off every button it holds nothing but the pen; back on, it presses.
    OnFingerMove(0, 5, 5);
    EXPECT_EQ(InputState.HeldKeys, MOUSE_DOWN);
    LatchInput();
    OnFingerMove(0, right.x + 3, right.y + 3);
    LatchInput();
    EXPECT_EQ(InputState.PressedKeys, KEY_RIGHT);

    // Two fingers on one button: it stays held until both are up.
    OnFingerDown(2, right.x + 4, right.y + 4);
    OnFingerUp(0);
    EXPECT_EQ(InputState.HeldKeys, MOUSE_DOWN | KEY_RIGHT);
    // A finger that is not down, or no finger at all, changes nothing.
    OnFingerUp(5);
    OnFingerUp(MaxFingers);
    OnFingerMove(7, left.x + 3, left.y + 3);
    EXPECT_EQ(InputState.HeldKeys, MOUSE_DOWN | KEY_RIGHT);
    // The last finger up lets go of everything, as the pen does.
    OnKeyDown(VK_UP);
    OnFingerUp(2);
    EXPECT_EQ(InputState.HeldKeys, 0);
}

} // namespace
