// SPDX-License-Identifier: GPL-3.0-or-later
// The soak's checks: quiet over real play, and each one speaks up when its
// rule is broken.
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/settings.h"
#include "tools/soak/fresh_game.h"
#include "tools/soak/invariants.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class SoakChecks : public ::testing::Test {
  protected:
    std::string dir, path;
    SoakWatch watch{};

    void SetUp() override {
        char name[] = "/tmp/vantle-soak-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        path = dir + "/vantle.dat";
        FreshGame();
        SetSettingsPath(path.c_str());
        HeadlessSetWindowSize(320, 240);
        ASSERT_EQ(CreateMainWindow(), 1);
        StartWatch(watch, Buttons.Table[BUTTON_SOUND].state, Board.HighScore);
    }
    void TearDown() override {
        FreshGame();
        unlink(path.c_str());
        rmdir(dir.c_str());
    }

    void Tick() {
        TimerTick(MainWindow);
        CheckTick(&watch);
    }

    // Into play with a checked tick each step; the watch then holds play.
    void StartPlaying() {
        Tick();
        OnKeyDown(VK_RETURN);
        Tick();
        OnKeyUp(VK_RETURN);
        Tick();
        ASSERT_EQ(Flow.Mode, MODE_PLAY);
        ASSERT_EQ(watch.failedAt, 0u) << watch.failure;
    }

    // The check alone, on the state as the test left it.
    std::string CheckNow() {
        CheckTick(&watch);
        return watch.failedAt != 0 ? std::string(watch.failure) : std::string();
    }
};

TEST_F(SoakChecks, RealPlayBreaksNoRule) {
    StartPlaying();
    // Drops all the way down, pair after pair, until the game ends.
    for (int32_t i = 0; i < 3000 && Flow.Mode != MODE_TITLE; ++i) {
        if (i % 40 == 0) OnKeyDown(VK_DOWN);
        if (i % 40 == 30) OnKeyUp(VK_DOWN);
        if (i % 97 == 0) OnKeyDown(83); // the sound key, on and off
        if (i % 97 == 2) OnKeyUp(83);
        Tick();
    }
    EXPECT_EQ(watch.failedAt, 0u) << watch.failure;
    EXPECT_GT(watch.modeTicks[MODE_RESOLVE], 0u);
    EXPECT_GT(watch.modeTicks[MODE_GAMEOVER], 0u);
    EXPECT_EQ(watch.games, 1u);
}

TEST_F(SoakChecks, ACellThatIsNoArrow) {
    StartPlaying();
    BoardCell(2, 12) = 5;
    EXPECT_NE(CheckNow().find("cell (2, 12) holds 5"), std::string::npos) << watch.failure;
}

TEST_F(SoakChecks, AGapInAColumnOutsideAResolve) {
    StartPlaying();
    BoardCell(0, 5) = ARROW_UP;
    EXPECT_NE(CheckNow().find("column 0 has a gap"), std::string::npos) << watch.failure;
}

TEST_F(SoakChecks, AGapWhileResolvingIsAllowed) {
    StartPlaying();
    Flow.Mode = MODE_RESOLVE;
    BoardCell(0, 5) = ARROW_UP;
    EXPECT_EQ(CheckNow(), "");
}

TEST_F(SoakChecks, APairOutsideTheWell) {
    StartPlaying();
    Board.Pair.PairColumn = 7;
    EXPECT_NE(CheckNow().find("outside the well"), std::string::npos);
    watch.failedAt = 0;
    Board.Pair.PairColumn = 3;
    Board.Pair.PairRow = 12;
    EXPECT_NE(CheckNow().find("outside the well"), std::string::npos);
}

TEST_F(SoakChecks, APairOnAnArrow) {
    StartPlaying();
    BoardCell(Board.Pair.PairColumn, Board.Pair.PairRow + 1) = ARROW_DOWN;
    // Packed as it stands? Fill below it so that only the overlap is wrong.
    for (int32_t row = Board.Pair.PairRow + 2; row < BoardRows; ++row)
        BoardCell(Board.Pair.PairColumn, row) = static_cast<uint8_t>(row % 4 + 1);
    EXPECT_NE(CheckNow().find("overlaps"), std::string::npos) << watch.failure;
}

TEST_F(SoakChecks, AScoreThatFalls) {
    StartPlaying();
    Board.Score = 40;
    EXPECT_EQ(CheckNow(), "");
    Board.Score = 36;
    EXPECT_NE(CheckNow().find("fell from 40 to 36"), std::string::npos);
}

TEST_F(SoakChecks, ANegativeScore) {
    StartPlaying();
    watch.prevScore = INT32_MIN;
    Board.Score = -4;
    EXPECT_NE(CheckNow().find("negative"), std::string::npos);
}

TEST_F(SoakChecks, ANewGameThatKeepsTheOldScore) {
    Tick();
    watch.prevMode = MODE_TITLE;
    Flow.Mode = MODE_PLAY;
    Board.FallInterval = 20;
    Board.Score = 12;
    EXPECT_NE(CheckNow().find("new game starts with score 12"), std::string::npos);
}

TEST_F(SoakChecks, AHighScoreBehindTheScoreAfterALanding) {
    StartPlaying();
    watch.prevMode = MODE_RESOLVE;
    Board.Score = 50;
    Board.HighScore = 10;
    watch.prevHigh = 10;
    EXPECT_NE(CheckNow().find("below the score"), std::string::npos);
}

TEST_F(SoakChecks, AHighScoreThatFalls) {
    StartPlaying();
    watch.prevHigh = 100;
    Board.HighScore = 99;
    EXPECT_NE(CheckNow().find("high score fell"), std::string::npos);
}

TEST_F(SoakChecks, ALineCountLeftBetweenPasses) {
    StartPlaying();
    Match.Map[4 * BoardRows + 7] = 2;
    EXPECT_NE(CheckNow().find("line count 2 left at cell (4, 7)"), std::string::npos);
}

TEST_F(SoakChecks, ASoundWithTheSwitchOff) {
    StartPlaying();
    Buttons.Table[BUTTON_SOUND].state = 0;
    watch.soundBefore = 0;
    PlatformPlayWave("WAVE1");
    EXPECT_NE(CheckNow().find("sound switch off"), std::string::npos);
}

TEST_F(SoakChecks, ASoundOnTheTickTheSwitchGoesOffIsAllowed) {
    StartPlaying();
    watch.soundBefore = 1;
    Buttons.Table[BUTTON_SOUND].state = 0;
    PlatformPlayWave("WAVE3");
    EXPECT_EQ(CheckNow(), "");
    // Only state 1 is on: 2 is as silent as 0.
    Buttons.Table[BUTTON_SOUND].state = 2;
    PlatformPlayWave("WAVE3");
    EXPECT_NE(CheckNow().find("sound switch off"), std::string::npos);
}

TEST_F(SoakChecks, TheCloseSavesWhatTheGameHeld) {
    StartPlaying();
    Board.HighScore = 321;
    PlatformDestroyWindow(MainWindow);
    CheckClose(watch, path.c_str());
    EXPECT_EQ(watch.failedAt, 0u) << watch.failure;
    // A file that does not hold what the game held is caught.
    Board.HighScore = 322;
    CheckClose(watch, path.c_str());
    EXPECT_NE(std::string(watch.failure).find("does not hold"), std::string::npos);
}

TEST_F(SoakChecks, AStopCueAtTheCloseWithTheSwitchOff) {
    StartPlaying();
    Buttons.Table[BUTTON_SOUND].state = 0;
    PlatformDestroyWindow(MainWindow);
    PlatformStopSound(); // as a close that ignored the switch would
    CheckClose(watch, path.c_str());
    EXPECT_NE(std::string(watch.failure).find("at the close"), std::string::npos);
}

} // namespace
