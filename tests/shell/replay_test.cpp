// SPDX-License-Identifier: GPL-3.0-or-later
// A replay goes through every state the game went through: random games
// are played through the whole shell (keys, taps on the panel's buttons and
// the touch controls, the Options dialog answered, pauses, the window
// hidden, the program ended by a signal and the kept game taken back), the
// game's state noted after every tick; each game's replay then plays the
// same states, tick for tick, to its recorded end. And a damaged code is
// told from a good one, never played.
#include "game/flow.h"
#include "game/replay.h"
#include "game/snapshot.h"
#include "input/buttons.h"
#include "platform/headless/headless.h"
#include "render/layout.h"
#include "shell/app.h"
#include "shell/options_dialog.h"
#include "shell/replays.h"
#include "shell/saved_game.h"
#include "shell/settings.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {
struct Recorded {
    std::string code;
    std::vector<uint32_t> states; // after each of its ticks
};

void Send(const Event& e) { PlatformDispatchEvent(e); }

std::string Code() {
    static char text[ReplayMaxText];
    return ReplayCode(text, sizeof text) > 0 ? std::string(text) : std::string();
}

class ReplayTest : public ::testing::Test {
  protected:
    std::string dir;
    void SetUp() override {
        dir = MakeScratchFolder("vantle-replay");
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override {
        if (PlatformWindowAlive(MainWindow)) PlatformDestroyWindow(MainWindow);
        SetGamePath("");
        SetSettingsPath("");
        SetReplayFolder("");
        RemoveScratchFolder(dir);
    }
    void Start() {
        if (PlatformWindowAlive(MainWindow)) PlatformDestroyWindow(MainWindow);
        ReleaseScreen();
        ResetGame();
        HeadlessReset();
        SetSettingsPath((dir + "/vantle.dat").c_str());
        SetGamePath((dir + "/vantle.sav").c_str());
        SetReplayFolder((dir + "/").c_str());
        ASSERT_EQ(CreateMainWindow(), 1);
    }
};

TEST_F(ReplayTest, EveryGamesReplayGoesThroughEveryStateItWentThrough) {
    std::mt19937 random(20261209);
    std::vector<Recorded> games;
    Recorded now;
    Start();
    const uint32_t keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_RETURN, VK_SPACE, VK_S, 'X'};
    int32_t dialogs = 0, hides = 0, resumes = 0, taps = 0;
    for (int32_t step = 0; step < 60000 && games.size() < 40; ++step) {
        const uint32_t roll = random() % 1000;
        if (roll < 60) {
            Send(KeyEvent(EVENT_KEY_DOWN, keys[random() % 8]));
        } else if (roll < 130) {
            Send(KeyEvent(EVENT_KEY_UP, keys[random() % 8]));
        } else if (roll < 150) {
            // A tap on one of the panel's buttons, or a touch control.
            const Button& b = Buttons.Table[BUTTON_PAUSE + random() % 5];
            if (random() % 2 == 0) {
                Send(PenEvent(EVENT_PEN_DOWN, 0, static_cast<int32_t>(b.x * Layout.Scale + 3),
                              static_cast<int32_t>(b.y * Layout.Scale + 3)));
                Send(PenEvent(EVENT_PEN_UP, 0, 0, 0));
            } else {
                Send(KeyEvent(EVENT_KEY_DOWN, b.key, KEY_FROM_TOUCH));
                Send(KeyEvent(EVENT_KEY_UP, b.key, KEY_FROM_TOUCH));
            }
            ++taps;
        } else if (roll < 153 && Flow.Mode == MODE_PLAY) {
            // The Options dialog, answered.
            for (int32_t i = 0; i < 4; ++i)
                HeadlessQueueModalEvent(
                    CheckEvent(IDC_REPEAT_FIRST + i, static_cast<int32_t>(random() % 2)));
            HeadlessQueueModalEvent(CommandEvent(static_cast<int32_t>(random() % 2 + 1)));
            Send(KeyEvent(EVENT_KEY_DOWN, VK_O));
            Send(TimerEvent(GameTimerId, 0));
            if (ReplayRecording()) now.states.push_back(GameDigest());
            Send(KeyEvent(EVENT_KEY_UP, VK_O));
            ++dialogs;
        } else if (roll < 156) {
            Send(ShownEvent(false));
            ++hides;
        } else if (roll < 158 && ReplayRecording()) {
            // Ended as a signal ends it, and started again on the kept game.
            Send(MakeEvent(EVENT_CLOSE));
            now.code = Code();
            games.push_back(now);
            now = Recorded{};
            Start();
            ++resumes;
        } else {
            const bool recording = ReplayRecording();
            if (Flow.Mode == MODE_PLAY && random() % 3 == 0)
                Send(KeyEvent(EVENT_KEY_DOWN, VK_DOWN));
            Send(TimerEvent(GameTimerId, 0));
            if (recording) now.states.push_back(GameDigest());
            if (recording && !ReplayRecording()) {
                now.code = Code();
                games.push_back(now);
                now = Recorded{};
            }
        }
        if (!PlatformWindowAlive(MainWindow)) Start();
        // Never paused for long.
        if (Flow.Mode == MODE_PLAY && Flow.FallStep == 0 && random() % 30 == 0) {
            Send(KeyEvent(EVENT_KEY_DOWN, VK_SPACE));
            Send(TimerEvent(GameTimerId, 0));
            Send(KeyEvent(EVENT_KEY_UP, VK_SPACE));
            if (ReplayRecording()) now.states.push_back(GameDigest());
        }
    }
    EXPECT_GE(games.size(), 10u);
    EXPECT_GT(dialogs, 0);
    EXPECT_GT(hides, 0);
    EXPECT_GT(resumes, 0);
    EXPECT_GT(taps, 0);

    size_t ticks = 0;
    for (size_t g = 0; g < games.size(); ++g) {
        const Recorded& r = games[g];
        ASSERT_EQ(ReplayLoad(r.code.c_str(), r.code.size()), REPLAY_LOADED) << "game " << g;
        ASSERT_EQ(ReplayLength(), r.states.size()) << "game " << g;
        for (size_t t = 0; t < r.states.size(); ++t) {
            ASSERT_TRUE(ReplayStep()) << "game " << g << " tick " << t;
            GameTick();
            ASSERT_EQ(GameDigest(), r.states[t])
                << "game " << g << " tick " << t << " of " << r.states.size();
        }
        EXPECT_FALSE(ReplayStep());
        EXPECT_TRUE(ReplayEndsRight()) << "game " << g;
        ticks += r.states.size();
    }
    EXPECT_GT(ticks, 5000u);
}

// One character changed anywhere in a code: the replay is refused as no
// code or as damaged, or (where the change leaves a code that still holds)
// it does not end where it says; it never crashes or plays on silently.
TEST_F(ReplayTest, AChangedCharacterIsFound) {
    Start();
    for (int i = 0; i < 3; ++i) Send(TimerEvent(GameTimerId, 0));
    Send(KeyEvent(EVENT_KEY_DOWN, VK_RETURN));
    Send(TimerEvent(GameTimerId, 0));
    Send(KeyEvent(EVENT_KEY_UP, VK_RETURN));
    for (int i = 0; i < 300; ++i) {
        Send(KeyEvent(i % 9 == 0 ? EVENT_KEY_DOWN : EVENT_KEY_UP, i % 2 == 0 ? VK_LEFT : VK_UP));
        Send(TimerEvent(GameTimerId, 0));
    }
    const std::string code = Code();
    ASSERT_FALSE(code.empty());
    ASSERT_EQ(ReplayLoad(code.c_str(), code.size()), REPLAY_LOADED);
    const char alphabet[] = "Az09-_";
    int32_t refused = 0;
    for (size_t i = 0; i < code.size(); ++i) {
        std::string changed = code;
        changed[i] = alphabet[i % 6] == code[i] ? alphabet[(i + 1) % 6] : alphabet[i % 6];
        const int32_t loaded = ReplayLoad(changed.c_str(), changed.size());
        if (loaded != REPLAY_LOADED) {
            ++refused;
            continue;
        }
        uint32_t played = 0;
        while (ReplayStep() && played++ < 100000) GameTick();
        EXPECT_FALSE(ReplayEndsRight()) << "character " << i;
    }
    EXPECT_GT(refused, static_cast<int32_t>(code.size()) * 9 / 10);
    EXPECT_EQ(ReplayLoad("", 0), REPLAY_NOT_A_CODE);
    EXPECT_EQ(ReplayLoad("not a replay!", 13), REPLAY_NOT_A_CODE);
}

} // namespace
