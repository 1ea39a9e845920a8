// SPDX-License-Identifier: GPL-3.0-or-later
// The game flow tick by tick, on the rules alone: no screen, no sound.
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "game/report.h"
#include "input/buttons.h"
#include "input/input_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// What the rules reported, in order, as one letter a call: the drawing
// depends on getting these at the right moments.
std::string Reports;
void Note(char c) { Reports += c; }

constexpr GameReport Recorder{
    [] { Note('S'); },                            // play screen
    [] { Note('T'); },                            // title
    [](int32_t, int32_t, int32_t) { Note('c'); }, // cell
    [] { Note('p'); },                            // pair drawn
    [] { Note('e'); },                            // pair erased
    [] { Note('n'); },                            // next pair
    [] { Note('s'); },                            // score
    [] { Note('h'); },                            // high score
    [] { Note('m'); },                            // message
    [](int32_t, int32_t down) { Note(down != 0 ? 'B' : 'b'); },
    [](int32_t) { Note('!'); },
};

class FlowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGame();
        SetGameReport(Recorder);
        Reports.clear();
    }
    void TearDown() override { SetGameReport(GameReport{}); }

    // One timer tick as the shell runs it: the latch, then the rules.
    static int32_t Tick() {
        LatchInput();
        return GameTick();
    }
    static void Ticks(int n) {
        for (int i = 0; i < n; ++i) Tick();
    }

    // A key held down over one tick, then let go over the next.
    static void Tap(uint32_t key) {
        OnKeyDown(key);
        Tick();
        OnKeyUp(key);
    }

    // From the title to the first tick of play, started with Enter.
    static void StartGame() {
        Tick(); // draws the title
        Tap(VK_RETURN);
        ASSERT_EQ(Flow.Mode, MODE_PLAY);
        Reports.clear();
    }

    static int32_t Column() { return Board.Pair.PairColumn; }
    static int32_t Row() { return Board.Pair.PairRow; }
};

TEST_F(FlowTest, ThePairFallsOnceEveryIntervalPlusOneTicksAndLocksWhereItStands) {
    StartGame();
    ASSERT_EQ(Board.FallInterval, 20u);
    // The tick that started the game was the title's.
    EXPECT_EQ(Board.FallCounter, 0u);
    Ticks(20);
    EXPECT_EQ(Row(), 0);
    Tick();
    EXPECT_EQ(Row(), 1) << "the 21st tick of the game";
    EXPECT_EQ(Board.FallCounter, 0u);
    Ticks(20);
    EXPECT_EQ(Row(), 1);
    Tick();
    EXPECT_EQ(Row(), 2);

    // Down to the floor: row 11 is the last the pair fits at; the fall due
    // there locks it instead.
    Buttons.Table[BUTTON_SOUND].state = 1;
    Board.Pair.PairRow = 11;
    Board.FallCounter = 20;
    Reports.clear();
    Tick();
    EXPECT_EQ(Flow.Mode, MODE_RESOLVE);
    EXPECT_EQ(Row(), 11);
    EXPECT_EQ(Reports, "") << "a lock draws nothing";
    Tick();
    EXPECT_EQ(BoardCell(3, 11), Board.Pair.CurrentTop);
    EXPECT_EQ(Reports, "!") << "the landing's cue";
}

TEST_F(FlowTest, EachActionFollowsItsOwnRepeatChoiceAlone) {
    struct Action {
        const char* name;
        int32_t choice;
        uint32_t key;
    };
    const Action actions[] = {{"rotate", REPEAT_ROTATION, VK_UP},
                              {"left", REPEAT_LEFT, VK_LEFT},
                              {"drop", REPEAT_DROP, VK_DOWN},
                              {"right", REPEAT_RIGHT, VK_RIGHT}};
    for (const Action& on : actions) {
        for (const Action& act : actions) {
            SetUp();
            StartGame();
            Flow.KeyRepeat[on.choice] = 1;
            // Counted from the state: quarter turns, columns moved, rows fallen.
            OnKeyDown(act.key);
            int acted = 0;
            // Three ticks: room for three moves either way from the middle.
            for (int i = 0; i < 3; ++i) {
                const int32_t column = Column(), row = Row();
                const uint8_t before = Board.Pair.CurrentTop;
                Tick();
                acted += Column() != column || Row() != row || Board.Pair.CurrentTop != before;
            }
            OnKeyUp(act.key);
            const int expected = on.choice == act.choice ? 3 : 1;
            EXPECT_EQ(acted, expected)
                << act.name << " held three ticks with only " << on.name << " repeating";
            TearDown();
        }
    }
}

TEST_F(FlowTest, EveryActionAndNoMoreWhileItsKeyIsPressedAgain) {
    StartGame();
    // Without repeat, a key must go up and down again to act again.
    Tap(VK_LEFT);
    Tick();
    Tap(VK_LEFT);
    EXPECT_EQ(Column(), 1);
    Tap(VK_RIGHT);
    EXPECT_EQ(Column(), 2);
    // The wall stops a move, but its button still shows the press.
    Board.Pair.PairColumn = 0;
    Reports.clear();
    Tap(VK_LEFT);
    EXPECT_EQ(Column(), 0);
    EXPECT_EQ(Reports, "bB") << "last tick's button raised, then Left pressed; no pair drawn";
}

TEST_F(FlowTest, KeysHeldOnTheTitleAreForgottenWhenTheGameStarts) {
    Flow.KeyRepeat[REPEAT_LEFT] = 1;
    Flow.KeyRepeat[REPEAT_RIGHT] = 1;
    Tick(); // the title
    OnKeyDown(VK_RIGHT);
    OnKeyDown(VK_LEFT); // the last key down starts the game
    Tick();
    ASSERT_EQ(Flow.Mode, MODE_PLAY);
    EXPECT_EQ(InputState.HeldKeys, 0);
    // Both keys are still down, but nothing moves until one goes down anew.
    Ticks(3);
    EXPECT_EQ(Column(), 3);
    OnKeyDown(VK_LEFT); // the keyboard's repeat of the held key
    Tick();
    EXPECT_EQ(Column(), 2);
}

TEST_F(FlowTest, ADropWhilePausedWaitsForTheGameToGoOn) {
    StartGame();
    Tap(VK_SPACE);
    ASSERT_EQ(Flow.FallStep, 0);
    EXPECT_EQ(ButtonState(BUTTON_PAUSE), 1);
    Tick();
    Tap(VK_DOWN);
    Ticks(30);
    EXPECT_EQ(Row(), 0) << "nothing falls while paused";
    EXPECT_EQ(Board.FallCounter, Board.FallInterval) << "the drop is due";
    // Moves and turns are not paused.
    Tap(VK_LEFT);
    EXPECT_EQ(Column(), 2);
    // Going on, the due drop falls on the first tick.
    Tap(VK_SPACE);
    EXPECT_EQ(Flow.FallStep, 1);
    EXPECT_EQ(Row(), 1);
}

TEST_F(FlowTest, OneActionATickInOrderRotateLeftRightDrop) {
    struct Case {
        const char* keys;
        uint32_t down[4];
        const char* wins;
    };
    const Case cases[] = {
        {"all four", {VK_UP, VK_LEFT, VK_RIGHT, VK_DOWN}, "rotate"},
        {"Enter and Left", {VK_RETURN, VK_LEFT, 0, 0}, "rotate"},
        {"Left, Right, Down", {VK_LEFT, VK_RIGHT, VK_DOWN, 0}, "left"},
        {"Right and Down", {VK_RIGHT, VK_DOWN, 0, 0}, "right"},
        {"Down alone", {VK_DOWN, 0, 0, 0}, "drop"},
    };
    for (const Case& c : cases) {
        SetUp();
        StartGame();
        Tick(); // the Enter that started the game is latched as let go
        const uint8_t top = Board.Pair.CurrentTop;
        for (uint32_t key : c.down)
            if (key != 0) OnKeyDown(key);
        Tick();
        std::string what = "nothing";
        if (Board.Pair.CurrentTop != top) what = "rotate";
        if (Column() == 2) what = what == "nothing" ? "left" : "several";
        if (Column() == 4) what = what == "nothing" ? "right" : "several";
        if (Board.FallCounter == 0 && Row() == 1) what = what == "nothing" ? "drop" : "several";
        EXPECT_EQ(what, c.wins) << c.keys;
        TearDown();
    }
}

TEST_F(FlowTest, TheTitleCountsItsTicksAndSeedsTheGameWithThem) {
    Tick();
    EXPECT_EQ(Reports, "T");
    Ticks(41);
    EXPECT_EQ(Board.FallCounter, 41u);
    // O and S act on the title without starting a game.
    Tap(VK_O);
    EXPECT_EQ(Flow.Mode, MODE_TITLE);
    Tick();
    EXPECT_EQ(Buttons.OptionsRequest, BUTTON_OPTIONS) << "asked for on the release";
    const bool sound = SoundOn();
    Tap(VK_S);
    EXPECT_NE(SoundOn(), sound) << "S flips the sound switch";
    const uint32_t seed = Board.FallCounter + 2;
    Tick();
    Tap(VK_RETURN);
    ASSERT_EQ(Flow.Mode, MODE_PLAY);
    // The same deal as a board seeded with the count by hand.
    const FallingPairState dealt = Board.Pair;
    SeedRandom(seed);
    ResetBoard();
    EXPECT_EQ(std::memcmp(&dealt, &Board.Pair, sizeof dealt), 0);
}

TEST_F(FlowTest, APairThatLandsReportsItsChangesInTheirOrder) {
    StartGame();
    Buttons.Table[BUTTON_SOUND].state = 1;
    Flow.Mode = MODE_RESOLVE;
    Flow.ResolvePhase = RESOLVE_LAND;
    Board.Score = 40;
    Board.HighScore = 30;
    // A pair of ups lands on two more: a line of four down column 3.
    Board.Pair.CurrentTop = Board.Pair.CurrentBottom = ARROW_UP;
    Board.Pair.PairRow = 9;
    BoardCell(3, 11) = BoardCell(3, 12) = ARROW_UP;
    Reports.clear();
    Ticks(10);
    // The landing's cue; the four cells emptied; nothing to fall; the pass's
    // cue and message; two pauses; a pass that removes nothing; then the
    // end: the scores, and the next pair dealt and drawn.
    EXPECT_EQ(Reports, "b!cccc!mshpn") << "first the Rotate button of the start is raised";
    EXPECT_EQ(Flow.Mode, MODE_PLAY);
    EXPECT_EQ(Board.Score, 44);
    EXPECT_EQ(Board.PanelScore, 44);
    EXPECT_EQ(Board.HighScore, 44) << "the high score rises as the sequence ends";
    EXPECT_STREQ(Match.Message, "4 pt");
}

TEST_F(FlowTest, ThePanelScoreLagsUntilTheSequenceEnds) {
    StartGame();
    Flow.Mode = MODE_RESOLVE;
    Flow.ResolvePhase = RESOLVE_LAND;
    Board.Pair.CurrentTop = Board.Pair.CurrentBottom = ARROW_LEFT;
    Board.Pair.PairRow = 9;
    BoardCell(3, 11) = BoardCell(3, 12) = ARROW_LEFT;
    Ticks(4); // land, match, gravity, score
    EXPECT_EQ(Board.Score, 4);
    EXPECT_EQ(Board.PanelScore, 0);
    EXPECT_EQ(Board.HighScore, 0);
    Ticks(6); // two pauses, the empty pass, the end
    EXPECT_EQ(Board.PanelScore, 4);
    EXPECT_EQ(Board.HighScore, 4);
}

TEST_F(FlowTest, AFullWellEndsTheGameAndTheTitleFollowsAfterSixtyTicks) {
    StartGame();
    for (int row = 1; row < BoardRows; ++row) BoardCell(3, row) = static_cast<uint8_t>(1 + row % 2);
    Flow.Mode = MODE_RESOLVE;
    Flow.ResolvePhase = RESOLVE_END;
    Tick();
    EXPECT_EQ(Flow.Mode, MODE_GAMEOVER);
    Tick();
    EXPECT_STREQ(Match.Message, "GameOver");
    int ticks = 1;
    while (Flow.Mode == MODE_GAMEOVER && ticks < 100) {
        Tick();
        ++ticks;
    }
    // The message at once, the cue on the fourth tick, the title on the 61st.
    EXPECT_EQ(ticks, 61);
    EXPECT_EQ(Flow.Mode, MODE_TITLE);
    EXPECT_TRUE(PlayScreenShown()) << "until the next tick draws the title";
    // Escape quits from every mode that reads the keys.
    OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(Tick(), 0) << "the title's first tick does not read the keys";
    OnKeyUp(VK_ESCAPE);
    Tick();
    OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(Tick(), -1);
}

TEST_F(FlowTest, HidingPausesPlayOnlyAndOnlyOnce) {
    PausePlay();
    EXPECT_EQ(Flow.FallStep, 1) << "not in the title";
    StartGame();
    PausePlay();
    EXPECT_EQ(Flow.FallStep, 0);
    EXPECT_EQ(ButtonState(BUTTON_PAUSE), 1);
    PausePlay();
    EXPECT_EQ(ButtonState(BUTTON_PAUSE), 1) << "a second pause does not flip the bar back";
}

} // namespace
