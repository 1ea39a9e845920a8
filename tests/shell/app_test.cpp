// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/headless/headless.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/app.h"
#include "shell/settings.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class AppTest : public ::testing::Test {
  protected:
    std::string dir, path;
    void SetUp() override {
        ResetGame();
        HeadlessReset();
        // A folder of its own: CTest runs this fixture's tests side by side.
        dir = MakeScratchFolder("vantle-app");
        ASSERT_FALSE(dir.empty());
        path = dir + "/vantle.dat";
        SetSettingsPath(path.c_str());
        ASSERT_EQ(CreateMainWindow(), 1);
    }
    void TearDown() override {
        if (PlatformWindowAlive(MainWindow)) PlatformDestroyWindow(MainWindow);
        SetSettingsPath("");
        RemoveScratchFolder(dir);
    }
    static bool Translate(const Event& e) { return TranslateAccelerator(e); }
};

TEST_F(AppTest, AltF4ClosesTheGameThroughTheSameDestructionAsEscape) {
    EXPECT_FALSE(Translate(KeyEvent(EVENT_KEY_DOWN, 0x73))) << "F4 without Alt is a plain key";
    EXPECT_TRUE(PlatformWindowAlive(MainWindow));
    EXPECT_TRUE(Translate(KeyEvent(EVENT_KEY_DOWN, 0x73, KEY_FROM_KEYBOARD, true)));
    EXPECT_FALSE(PlatformWindowAlive(MainWindow));
    EXPECT_TRUE(HeadlessQuitPosted());
    EXPECT_EQ(PlatformQuitCode(), 0);
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << "the settings were saved";
    std::fclose(f);
    EXPECT_EQ(Layout.BackBuffer.Pixels, nullptr) << "the surfaces were released";
}

TEST_F(AppTest, EndingTheSessionSavesTheSettingsAndLeavesTheGameRunning) {
    // The browser's page hidden or closed: the game may never run again.
    Buttons.Table[BUTTON_SOUND].state = 0;
    Board.HighScore = 4321;
    EXPECT_EQ(PlatformDispatchEvent(MakeEvent(EVENT_END_SESSION)), 0);
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << "the settings were saved";
    uint8_t bytes[36] = {};
    EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, f), sizeof bytes);
    std::fclose(f);
    EXPECT_EQ(bytes[8], 0) << "sound off";
    EXPECT_EQ(bytes[12] | bytes[13] << 8, 4321);
    EXPECT_TRUE(PlatformWindowAlive(MainWindow));
    EXPECT_FALSE(HeadlessQuitPosted());
    EXPECT_TRUE(HeadlessTimerRunning());
}

TEST_F(AppTest, NoWindowMeansANonZeroExitCodeAndNoLoop) {
    // The one window exists already, so no other can be made.
    EXPECT_EQ(AppMain(), 1);
    EXPECT_TRUE(PlatformWindowAlive(MainWindow)) << "the running game is left alone";
    EXPECT_FALSE(HeadlessQuitPosted());
}

TEST_F(AppTest, AltSlashIsTakenButDoesNothing) {
    EXPECT_TRUE(Translate(KeyEvent(EVENT_CHARACTER, '/', KEY_FROM_KEYBOARD, true)));
    EXPECT_FALSE(Translate(KeyEvent(EVENT_CHARACTER, '/'))) << "without Alt it is no accelerator";
    EXPECT_FALSE(Translate(KeyEvent(EVENT_KEY_DOWN, '/', KEY_FROM_KEYBOARD, true)))
        << "the slash entry is a character, not a key";
    EXPECT_TRUE(PlatformWindowAlive(MainWindow));
    EXPECT_FALSE(HeadlessQuitPosted());
}

TEST_F(AppTest, AKeyLetGoWhileAltIsHeldIsLetGo) {
    // Left held, then Alt (as Alt+Tab begins), then Left let go.
    PlatformDispatchEvent(KeyEvent(EVENT_KEY_DOWN, VK_LEFT));
    PlatformDispatchEvent(KeyEvent(EVENT_KEY_DOWN, VK_MENU, KEY_FROM_KEYBOARD, true));
    ASSERT_EQ(InputState.HeldKeys, KEY_LEFT);
    PlatformDispatchEvent(KeyEvent(EVENT_KEY_UP, VK_LEFT, KEY_FROM_KEYBOARD, true));
    EXPECT_EQ(InputState.HeldKeys, 0);
    EXPECT_EQ(InputState.CurrentChar, 0);
}

TEST_F(AppTest, CreationSetsUpTitleModeWithTheTimerRunning) {
    EXPECT_EQ(Flow.Mode, MODE_TITLE);
    EXPECT_TRUE(HeadlessTimerRunning());
    EXPECT_TRUE(PlatformHasSmallIcon(MainWindow));
    EXPECT_EQ(Layout.LogicalWidth, 320);
    EXPECT_EQ(Buttons.Table[BUTTON_HIDDEN].key, 0) << "buttons laid out";
    EXPECT_EQ(Buttons.Table[BUTTON_SOUND].state, 1) << "settings loaded: defaults";
    // The Options dialog stops the timer while it is open and starts it
    // again; the key still down is not reported again afterwards.
    PlatformDispatchEvent(TimerEvent(GameTimerId, 0)); // draws the title
    OnKeyDown(79);
    PlatformDispatchEvent(TimerEvent(GameTimerId, 0)); // O pressed
    EXPECT_EQ(Buttons.PendingButton, BUTTON_OPTIONS);
    PlatformDispatchEvent(TimerEvent(GameTimerId, 0)); // released: dialog
    EXPECT_EQ(Buttons.OptionsRequest, 0);
    EXPECT_EQ(InputState.CurrentChar, 0);
    EXPECT_TRUE(HeadlessTimerRunning());
}

TEST_F(AppTest, HiddenInPlayThePairStopsAndSpaceResumesIt) {
    const auto tick = [] { PlatformDispatchEvent(TimerEvent(GameTimerId, 0)); };
    const auto hide = [] { PlatformDispatchEvent(ShownEvent(false)); };
    tick(); // the title
    hide();
    EXPECT_EQ(Flow.Mode, MODE_TITLE);
    EXPECT_EQ(Buttons.Table[BUTTON_PAUSE].state, 0) << "nothing to pause on the title";
    OnKeyDown(VK_RETURN);
    tick();
    OnKeyUp(VK_RETURN);
    ASSERT_EQ(Flow.Mode, MODE_PLAY);
    tick();
    // Shown again, or shown at all, changes nothing.
    PlatformDispatchEvent(ShownEvent(true));
    EXPECT_EQ(Flow.FallStep, 1);

    // Left pressed on the tick before: its button is still shown down.
    OnKeyDown(VK_LEFT);
    tick();
    OnKeyUp(VK_LEFT);
    ASSERT_EQ(Buttons.PendingButton, BUTTON_LEFT);
    hide();
    EXPECT_EQ(Flow.FallStep, 0);
    EXPECT_NE(Buttons.Table[BUTTON_PAUSE].state, 0) << "the PAUSE bar lights";
    EXPECT_EQ(Buttons.PendingButton, BUTTON_PAUSE);
    const int32_t row = Board.Pair.PairRow;
    for (int i = 0; i < 100; ++i) tick();
    EXPECT_EQ(Board.Pair.PairRow, row) << "nothing falls while paused";
    EXPECT_EQ(Flow.Mode, MODE_PLAY);
    // Hidden again while paused: still paused, not resumed.
    hide();
    tick();
    EXPECT_EQ(Flow.FallStep, 0);
    EXPECT_NE(Buttons.Table[BUTTON_PAUSE].state, 0);
    // Space resumes.
    OnKeyDown(VK_SPACE);
    tick();
    OnKeyUp(VK_SPACE);
    EXPECT_EQ(Flow.FallStep, 1);
    EXPECT_EQ(Buttons.Table[BUTTON_PAUSE].state, 0);
}

// A window turned from landscape to portrait and back mid-game is laid out
// afresh and drawn from the state; the game goes on as it was, taps land on
// the buttons where they now are, and a tap shorter than a tick acts once.
TEST_F(AppTest, ANewSizeMidGameLaysOutAfreshAndPlayGoesOn) {
    const auto tick = [] { PlatformDispatchEvent(TimerEvent(GameTimerId, 0)); };
    const auto send = [](const Event& e) { PlatformDispatchEvent(e); };
    const auto tap = [&](int32_t button, int32_t finger) {
        const Button& b = Buttons.Table[button];
        const int32_t middleX = b.x + b.w / 2, middleY = b.y + b.h / 2;
        const auto x = static_cast<int32_t>(middleX * Layout.Scale);
        const auto y = static_cast<int32_t>(middleY * Layout.Scale);
        send(PenEvent(EVENT_PEN_DOWN, finger, x, y));
        send(PenEvent(EVENT_PEN_UP, finger, 0, 0));
    };
    const auto picture = [] {
        const Surface& s = Layout.BackBuffer;
        return std::vector<uint32_t>(s.Pixels, s.Pixels + s.Width * s.Height);
    };
    ASSERT_EQ(Layout.AreaX, 40) << "the headless window starts landscape, 320 x 240";
    tick();
    tap(BUTTON_ROTATE, 0); // any tap on the title starts a game
    tick();
    ASSERT_EQ(Flow.Mode, MODE_PLAY);
    for (int i = 0; i < 30; ++i) tick();
    const FallingPairState pair = Board.Pair;
    const auto counter = Board.FallCounter;
    const auto interval = Board.FallInterval;

    HeadlessSetWindowSize(480, 640);
    send(MakeEvent(EVENT_SIZE));
    EXPECT_EQ(Layout.CellSize, 22) << "portrait now";
    EXPECT_EQ(Layout.LogicalHeight, 320);
    EXPECT_EQ(Buttons.Table[BUTTON_LEFT].y, 236 + 34) << "the buttons moved with the layout";
    EXPECT_EQ(Flow.Mode, MODE_PLAY);
    EXPECT_EQ(Board.Pair.PairColumn, pair.PairColumn);
    EXPECT_EQ(Board.Pair.PairRow, pair.PairRow);
    EXPECT_EQ(Board.FallCounter, counter);
    EXPECT_EQ(Board.FallInterval, interval);
    const std::vector<uint32_t> laidOut = picture();
    DrawGame();
    EXPECT_EQ(picture(), laidOut) << "the new layout shows the game as drawn from its state";

    // A second finger taps Left while the first holds Down; both act.
    const Button& drop = Buttons.Table[BUTTON_DROP];
    send(PenEvent(EVENT_PEN_DOWN, 0, (drop.x + 5) * 2, (drop.y + 5) * 2));
    tap(BUTTON_LEFT, 1);
    tick();
    EXPECT_EQ(Board.Pair.PairColumn, pair.PairColumn - 1);
    // One action a tick: Down, still held by the first finger, drops next.
    const int32_t row = Board.Pair.PairRow;
    tick();
    EXPECT_EQ(Board.Pair.PairRow, row + 1) << "Down, held by the other finger, drops";
    EXPECT_EQ(Board.Pair.PairColumn, pair.PairColumn - 1);
    send(PenEvent(EVENT_PEN_UP, 0, 0, 0));

    // Back to landscape: the same size again changes nothing, a new one lays
    // out again.
    HeadlessSetWindowSize(480, 640);
    send(MakeEvent(EVENT_SIZE));
    EXPECT_EQ(Layout.CellSize, 22);
    HeadlessSetWindowSize(640, 480);
    send(MakeEvent(EVENT_SIZE));
    EXPECT_EQ(Layout.CellSize, 16);
    const int32_t column = Board.Pair.PairColumn;
    tap(BUTTON_RIGHT, 0);
    tick();
    EXPECT_EQ(Board.Pair.PairColumn, column + 1) << "a tap within one tick moves the pair once";
    tick();
    EXPECT_EQ(Board.Pair.PairColumn, column + 1);
}

// The screen is kept lit while a game is played: not on the title, not
// while paused, and no longer once the game is over.
TEST_F(AppTest, TheScreenStaysLitOnlyWhileAGameIsPlayed) {
    const auto tick = [] { PlatformDispatchEvent(TimerEvent(GameTimerId, 0)); };
    tick();
    tick();
    EXPECT_FALSE(HeadlessKeepsAwake()) << "the title";
    OnKeyDown(VK_RETURN);
    tick();
    OnKeyUp(VK_RETURN);
    ASSERT_EQ(Flow.Mode, MODE_PLAY);
    EXPECT_TRUE(HeadlessKeepsAwake());
    PlatformDispatchEvent(ShownEvent(false)); // hidden: paused
    tick();
    EXPECT_FALSE(HeadlessKeepsAwake()) << "paused";
    OnKeyDown(VK_SPACE);
    tick();
    OnKeyUp(VK_SPACE);
    EXPECT_TRUE(HeadlessKeepsAwake()) << "resumed";
    // Held Down fills the well until the game ends.
    OnKeyDown(VK_DOWN);
    for (int i = 0; i < 5000 && Flow.Mode != MODE_GAMEOVER; ++i) tick();
    ASSERT_EQ(Flow.Mode, MODE_GAMEOVER);
    EXPECT_FALSE(HeadlessKeepsAwake()) << "game over";
}

} // namespace
