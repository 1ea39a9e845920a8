// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/headless/headless.h"
#include "platform/resources.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/app.h"
#include "shell/dialog.h"
#include "shell/options_dialog.h"
#include "shell/settings.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

class DialogTest : public ::testing::Test {
  protected:
    Dialog dialog{};
    void SetUp() override {
        ResetGameFlow();
        const ResourceBytes t = FindResource(RES_DIALOG, DIALOG_OPTIONS);
        ASSERT_NE(t.Data, nullptr);
        ASSERT_TRUE(ParseDialogTemplate(t.Data, t.Size, &dialog));
    }
    void TearDown() override { ReleaseScreen(); }
    int Width() const { return dialog.rect.right - dialog.rect.left; }
    int Height() const { return dialog.rect.bottom - dialog.rect.top; }
};

TEST_F(DialogTest, TheOptionsTemplateHasItsFourBoxesAGroupAndTwoButtons) {
    EXPECT_STREQ(dialog.title, "Option");
    EXPECT_TRUE(dialog.captionOk);
    ASSERT_EQ(dialog.controlCount, 7);
    const struct {
        int id, kind;
        const char* text;
    } expected[7] = {{1002, CONTROL_CHECKBOX, "Rotation"},
                     {1003, CONTROL_CHECKBOX, "Left"},
                     {1004, CONTROL_CHECKBOX, "Down"},
                     {1005, CONTROL_CHECKBOX, "Right"},
                     {65535, CONTROL_GROUPBOX, "Key Repeat"},
                     {1, CONTROL_BUTTON, "OK"},
                     {2, CONTROL_BUTTON, "CANCEL"}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(dialog.controls[i].id, expected[i].id);
        EXPECT_EQ(dialog.controls[i].kind, expected[i].kind);
        EXPECT_STREQ(dialog.controls[i].text, expected[i].text);
    }
    // Every control lies inside the dialog's client area.
    for (int i = 0; i < 7; ++i) {
        EXPECT_GE(dialog.controls[i].rect.left, 0);
        EXPECT_LE(dialog.controls[i].rect.right, Width());
        EXPECT_LE(dialog.controls[i].rect.bottom, Height());
    }
    // Readable and clickable: the check boxes are at least a line high.
    EXPECT_GE(dialog.controls[0].rect.bottom - dialog.controls[0].rect.top, 13);
}

TEST_F(DialogTest, InitialisingCentresTheDialogAndTicksTheChosenBoxes) {
    LayoutScreen(640, 480); // logical 320 x 240
    Flow.KeyRepeat[0] = 1;
    Flow.KeyRepeat[2] = 5; // any non-zero choice shows ticked
    EXPECT_EQ(OptionsDialogProc(&dialog, MakeEvent(EVENT_INIT_DIALOG)), 1);
    EXPECT_EQ(dialog.rect.left, (320 - Width()) / 2);
    EXPECT_EQ(dialog.rect.top, (240 - Height()) / 2);
    EXPECT_EQ(IsDlgButtonChecked(&dialog, 1002), 1);
    EXPECT_EQ(IsDlgButtonChecked(&dialog, 1003), 0);
    EXPECT_EQ(IsDlgButtonChecked(&dialog, 1004), 1);
    EXPECT_EQ(IsDlgButtonChecked(&dialog, 1005), 0);
    ReleaseScreen();

    // Larger than its window: placed at the top-left corner, never beyond.
    LayoutScreen(120, 90);
    ASSERT_LT(Layout.LogicalWidth, Width());
    OptionsDialogProc(&dialog, MakeEvent(EVENT_INIT_DIALOG));
    EXPECT_EQ(dialog.rect.left, 0);
    EXPECT_EQ(dialog.rect.top, 0);
}

TEST_F(DialogTest, OkTakesTheBoxesAndCancelLeavesTheChoices) {
    LayoutScreen(320, 240);
    OptionsDialogProc(&dialog, MakeEvent(EVENT_INIT_DIALOG));
    for (int id = 1002; id <= 1005; ++id) CheckDlgButton(&dialog, id, 1);
    EXPECT_EQ(OptionsDialogProc(&dialog, CommandEvent(IDCANCEL)), 1);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(dialog.result, IDCANCEL);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Flow.KeyRepeat[i], 0);

    dialog.ended = 0;
    EXPECT_EQ(OptionsDialogProc(&dialog, CommandEvent(1003)), 0) << "not a command it handles";
    EXPECT_EQ(OptionsDialogProc(&dialog, MakeEvent(EVENT_PAINT)), 0);
    EXPECT_FALSE(dialog.ended);
    EXPECT_EQ(OptionsDialogProc(&dialog, CommandEvent(IDOK)), 1);
    EXPECT_EQ(dialog.result, IDOK);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Flow.KeyRepeat[i], 1);
}

TEST_F(DialogTest, AControllersATogglesTheFocusedBoxWhereTheKeyboardsEnterIsOk) {
    LayoutScreen(320, 240);
    OptionsDialogProc(&dialog, MakeEvent(EVENT_INIT_DIALOG));
    const uint32_t down = 40, up = 38, enter = 13;
    // The D-pad moves the focus as the arrow keys do: Rotation, then Left.
    DialogKey(&dialog, OptionsDialogProc, down, KEY_FROM_PAD);
    ASSERT_EQ(dialog.focus, 0);
    DialogKey(&dialog, OptionsDialogProc, down, KEY_FROM_PAD);
    ASSERT_EQ(dialog.focus, 1);
    DialogKey(&dialog, OptionsDialogProc, enter, KEY_FROM_PAD);
    EXPECT_EQ(IsDlgButtonChecked(&dialog, 1003), 1);
    EXPECT_FALSE(dialog.ended) << "A toggles; it is not OK";
    DialogKey(&dialog, OptionsDialogProc, up, KEY_FROM_PAD);
    DialogKey(&dialog, OptionsDialogProc, enter, KEY_FROM_PAD);
    DialogKey(&dialog, OptionsDialogProc, enter, KEY_FROM_PAD);
    EXPECT_EQ(IsDlgButtonChecked(&dialog, 1002), 0) << "toggled twice";
    EXPECT_EQ(IsDlgButtonChecked(&dialog, 1003), 1);
    // The key B stands for means nothing from the keyboard.
    DialogKey(&dialog, OptionsDialogProc, VK_PAD_B, 0);
    EXPECT_FALSE(dialog.ended);

    // On the OK button (past the group box, which takes no focus) A presses it.
    for (int i = 0; i < 4; ++i) DialogKey(&dialog, OptionsDialogProc, down, KEY_FROM_PAD);
    ASSERT_EQ(dialog.controls[dialog.focus].id, IDOK);
    DialogKey(&dialog, OptionsDialogProc, enter, KEY_FROM_PAD);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(dialog.result, IDOK);
    const int32_t taken[4] = {0, 1, 0, 0};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Flow.KeyRepeat[i], taken[i]) << i;
}

TEST_F(DialogTest, AControllersBCancelsAndTheKeyboardKeepsItsKeys) {
    LayoutScreen(320, 240);
    OptionsDialogProc(&dialog, MakeEvent(EVENT_INIT_DIALOG));
    DialogKey(&dialog, OptionsDialogProc, 39, KEY_FROM_PAD);
    DialogKey(&dialog, OptionsDialogProc, 13, KEY_FROM_PAD);
    ASSERT_EQ(IsDlgButtonChecked(&dialog, 1002), 1);
    DialogKey(&dialog, OptionsDialogProc, VK_PAD_B, KEY_FROM_PAD);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(dialog.result, IDCANCEL);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Flow.KeyRepeat[i], 0) << "cancelled: nothing taken";

    // The keyboard: Space toggles the focused box, Enter is OK whatever has
    // the focus, Escape is CANCEL.
    dialog.ended = 0;
    DialogKey(&dialog, OptionsDialogProc, 32, 0);
    EXPECT_EQ(IsDlgButtonChecked(&dialog, 1002), 0);
    EXPECT_FALSE(dialog.ended);
    DialogKey(&dialog, OptionsDialogProc, 13, 0);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(dialog.result, IDOK);
    dialog.ended = 0;
    DialogKey(&dialog, OptionsDialogProc, 27, 0);
    EXPECT_EQ(dialog.result, IDCANCEL);
    // A controller's Back is Escape: CANCEL too.
    dialog.ended = 0;
    dialog.result = 0;
    DialogKey(&dialog, OptionsDialogProc, 27, KEY_FROM_PAD);
    EXPECT_EQ(dialog.result, IDCANCEL);
}

TEST_F(DialogTest, ABrokenTemplateIsRefusedWithoutReadingPastItsEnd) {
    const ResourceBytes t = FindResource(RES_DIALOG, DIALOG_OPTIONS);
    // Every cut of the real template, each copied to a buffer of exactly its
    // size so that a read past the end shows under the sanitizers.
    for (size_t n = 0; n < t.Size; ++n) {
        std::vector<uint8_t> cut(t.Data, t.Data + n);
        Dialog d{};
        ParseDialogTemplate(cut.data(), cut.size(), &d);
        EXPECT_LE(d.controlCount, DialogMaxControls);
    }
    Dialog d{};
    EXPECT_FALSE(ParseDialogTemplate(nullptr, 0, &d));
    std::vector<uint8_t> many(t.Data, t.Data + t.Size);
    many[8] = 0xFF; // claims 255 controls
    EXPECT_FALSE(ParseDialogTemplate(many.data(), many.size(), &d));
}

} // namespace

namespace {

// The dialog run modally on the headless backend, its answers queued as a
// driver queues them.
class ModalDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGameFlow();
        HeadlessReset();
        LayoutScreen(320, 240);
        DrawGame(); // the game's picture under the dialog
    }
    void TearDown() override { ReleaseScreen(); }
    static int32_t Run() {
        const ResourceBytes t = FindResource(RES_DIALOG, DIALOG_OPTIONS);
        return RunDialog(t.Data, t.Size, 1, OptionsDialogProc);
    }
};

TEST_F(ModalDialogTest, CheckStatesAndACommandSentToItAnswerIt) {
    for (int32_t i = 0; i < 4; ++i)
        HeadlessQueueModalEvent(CheckEvent(IDC_REPEAT_FIRST + i, i % 2));
    HeadlessQueueModalEvent(CommandEvent(IDOK));
    EXPECT_EQ(Run(), IDOK);
    const int32_t taken[4] = {0, 1, 0, 1};
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(Flow.KeyRepeat[i], taken[i]) << i;

    // Nothing to answer with: cancelled, the choices kept.
    EXPECT_EQ(Run(), IDCANCEL);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(Flow.KeyRepeat[i], taken[i]) << i;
}

TEST_F(ModalDialogTest, TheDialogIsPutBackAsItWasAndARepaintAsksForNoOther) {
    std::vector<uint32_t> before(Layout.BackBuffer.Pixels, Layout.BackBuffer.Pixels + 320 * 240);
    PlatformPostEvent(MakeEvent(EVENT_PAINT));
    PlatformPostEvent(TimerEvent(1, 0)); // the game's: not the dialog's
    HeadlessQueueModalEvent(KeyEvent(EVENT_KEY_DOWN, VK_SPACE));
    HeadlessQueueModalEvent(KeyEvent(EVENT_KEY_DOWN, VK_ESCAPE));
    const int32_t invalidated = HeadlessInvalidateCount();
    EXPECT_EQ(Run(), IDCANCEL);
    // Shown once, again after Space ticked a box, and put back at the end:
    // the repaint and the timer asked for nothing, so the loop would wait.
    EXPECT_EQ(HeadlessInvalidateCount() - invalidated, 3);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), Layout.BackBuffer.Pixels))
        << "what it covered is back";
}

} // namespace

namespace {

// The Options dialog over the running game, as the player meets it: the
// pen and the keys go on between the game and the dialog.
class DialogOverGameTest : public ::testing::Test {
  protected:
    std::string dir, path;
    Dialog shown{}; // where the dialog stands, to aim the pen
    void SetUp() override {
        ResetGame();
        HeadlessReset();
        // A folder of its own: CTest runs this fixture's tests side by side.
        dir = MakeScratchFolder("vantle-dialog");
        ASSERT_FALSE(dir.empty());
        path = dir + "/vantle.dat";
        SetSettingsPath(path.c_str());
        ASSERT_EQ(CreateMainWindow(), 1); // 320 x 240: window and logical pixels agree
        const ResourceBytes t = FindResource(RES_DIALOG, DIALOG_OPTIONS);
        ASSERT_TRUE(ParseDialogTemplate(t.Data, t.Size, &shown));
        OptionsDialogProc(&shown, MakeEvent(EVENT_INIT_DIALOG));
    }
    void TearDown() override {
        if (PlatformWindowAlive(MainWindow)) PlatformDestroyWindow(MainWindow);
        SetSettingsPath("");
        RemoveScratchFolder(dir);
    }
    // The pen down on (or up from) the middle of control `id`.
    Event On(EventKind kind, int32_t id) const {
        for (int32_t i = 0; i < shown.controlCount; ++i) {
            if (shown.controls[i].id != id) continue;
            const DialogRect r = ControlScreenRect(&shown, shown.controls[i]);
            return PenEvent(kind, 0, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        }
        return PenEvent(kind, 0, 0, 0);
    }
    static void ToGame(const Event& e) { PlatformDispatchEvent(e); }
    static void ToDialog(const Event& e) { HeadlessQueueModalEvent(e); }
    // Runs the dialog on what was queued for it; what it leaves goes to
    // the game, as the main loop would take it.
    static void RunAndGoOn() {
        RunOptionsDialog(MainWindow);
        Event m{};
        // A few events are left; events that beget others for ever fail
        // the test rather than hang it.
        for (int32_t n = 0; PlatformGetEvent(&m); ++n) {
            ASSERT_LT(n, 1000) << "events without end";
            PlatformDispatchEvent(m);
        }
    }
};

TEST_F(DialogOverGameTest, ABoxOrButtonActsWhenThePenIsLiftedOnIt) {
    ToDialog(On(EVENT_PEN_DOWN, 1003));
    ToDialog(On(EVENT_PEN_UP, 1004)); // slid off Left onto Down: neither acts
    ToDialog(On(EVENT_PEN_DOWN, 1005));
    ToDialog(On(EVENT_PEN_UP, 1005)); // Right ticked
    ToDialog(On(EVENT_PEN_DOWN, IDCANCEL));
    ToDialog(On(EVENT_PEN_UP, IDOK)); // pressed on CANCEL, lifted on OK: nothing
    ToDialog(On(EVENT_PEN_DOWN, IDOK));
    ToDialog(On(EVENT_PEN_UP, IDOK));
    RunAndGoOn();
    const int32_t taken[4] = {0, 0, 1, 1}; // Down repeats from the start
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Flow.KeyRepeat[i], taken[i]) << i;
}

TEST_F(DialogOverGameTest, ThePensPressOnTheDialogStaysWithTheDialog) {
    // Down held on the keyboard all the while.
    ToGame(KeyEvent(EVENT_KEY_DOWN, VK_DOWN));
    ToDialog(On(EVENT_PEN_DOWN, IDCANCEL));
    ToDialog(On(EVENT_PEN_UP, IDCANCEL));
    RunAndGoOn();
    EXPECT_EQ(InputState.HeldKeys, KEY_DOWN) << "the pen's lifting let go of nothing in the game";
}

TEST_F(DialogOverGameTest, KeysLetGoWhileItIsOpenAreLetGoInTheGame) {
    ToGame(KeyEvent(EVENT_KEY_DOWN, VK_LEFT));
    ToGame(KeyEvent(EVENT_KEY_DOWN, VK_RETURN));
    ToGame(KeyEvent(EVENT_KEY_DOWN, VK_DOWN));
    ToDialog(KeyEvent(EVENT_KEY_UP, VK_LEFT));
    ToDialog(KeyEvent(EVENT_KEY_UP, VK_RETURN, KEY_FROM_KEYBOARD, true)); // let go with Alt held
    ToDialog(KeyEvent(EVENT_KEY_DOWN, VK_ESCAPE));
    RunAndGoOn();
    EXPECT_EQ(InputState.HeldKeys, KEY_DOWN) << "Down is still held; Left and Enter are not";
}

TEST_F(DialogOverGameTest, ThePenLiftedAfterGoingDownOnTheGameIsTheGames) {
    // The wrench tapped: the dialog opens with the pen still down.
    ToGame(PenEvent(EVENT_PEN_DOWN, 0, Buttons.Table[BUTTON_OPTIONS].x + 8, 8));
    ASSERT_EQ(InputState.HeldKeys, MOUSE_DOWN);
    ToDialog(On(EVENT_PEN_UP, IDOK)); // lifted where OK now is: OK was not pressed
    ToDialog(KeyEvent(EVENT_KEY_DOWN, VK_ESCAPE));
    RunAndGoOn();
    EXPECT_EQ(InputState.HeldKeys, 0) << "the pen is up";
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Flow.KeyRepeat[i], i == 2 ? 1 : 0) << "cancelled";
}

} // namespace
