// SPDX-License-Identifier: GPL-3.0-or-later
// The rules' word on which coming ticks are idle, checked against the ticks
// themselves: over random games, whenever the rules say the next n ticks
// change nothing, those n ticks are run with no input and must report
// nothing (no drawing, no cue), leave the mode alone and change no state but
// the rules' own counters; in play the tick after them must change what is
// shown or the mode.
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "game/report.h"
#include "game/snapshot.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "tests/support/game_state.h"

#include <gtest/gtest.h>

#include <cstring>

#include <random>

namespace {

int32_t Reports = 0;
constexpr GameReport Counter{
    [] { ++Reports; },
    [] { ++Reports; },
    [](int32_t, int32_t, int32_t) { ++Reports; },
    [] { ++Reports; },
    [] { ++Reports; },
    [] { ++Reports; },
    [] { ++Reports; },
    [] { ++Reports; },
    [] { ++Reports; },
    [](int32_t, int32_t) { ++Reports; },
    [](int32_t) { ++Reports; },
};

// Whether `now` is `before` in everything but the counters that an idle
// tick may advance.
bool OnlyCountersMoved(const GameModules& before, GameModules now) {
    now.board.FallCounter = before.board.FallCounter;
    now.match.MessageTimer = before.match.MessageTimer;
    now.flow.ResolvePhase = before.flow.ResolvePhase;
    now.flow.GameOverTicks = before.flow.GameOverTicks;
    // The latch's record of what the last tick found pressed settles to
    // nothing: that is input, latched as it always is, not the game.
    now.input.PressedKeys = before.input.PressedKeys;
    now.input.NewChar = before.input.NewChar;
    return ModuleBytes(now) == ModuleBytes(before);
}

int32_t Tick() {
    LatchInput();
    return GameTick();
}

// What a title that waits is checked over: long enough to matter.
constexpr int32_t UntilInputChecked = 300;

struct Coverage {
    int32_t title, fall, paused, message, resolvePause, gameOver, heldKey;
};

// Runs ahead of the game (which is put back afterwards) to check what the
// rules said of the coming ticks.
void CheckIdleTicks(Coverage* seen) {
    const int32_t idle = IdleTicksAhead();
    const GameModules before = CurrentModules();
    const int32_t mode = Flow.Mode;
    if (idle == 0) {
        if (mode == MODE_PLAY && InputState.HeldKeys != 0) ++seen->heldKey;
        return;
    }
    if (mode == MODE_TITLE) ++seen->title;
    if (mode == MODE_PLAY && Flow.FallStep == 0) ++seen->paused;
    if (mode == MODE_PLAY && Flow.FallStep != 0) ++seen->fall;
    if (mode == MODE_PLAY && Match.MessageTimer > 0) ++seen->message;
    if (mode == MODE_RESOLVE) ++seen->resolvePause;
    if (mode == MODE_GAMEOVER) ++seen->gameOver;
    const int32_t ticks = idle == IDLE_UNTIL_INPUT ? UntilInputChecked : idle;
    Reports = 0;
    for (int32_t i = 0; i < ticks; ++i) {
        ASSERT_EQ(Tick(), 0);
        ASSERT_EQ(Reports, 0) << "idle tick " << i + 1 << " of " << idle << " in mode " << mode
                              << " reported a change";
        ASSERT_EQ(Flow.Mode, mode) << "idle tick " << i + 1 << " of " << idle;
        ASSERT_TRUE(OnlyCountersMoved(before, CurrentModules()))
            << "idle tick " << i + 1 << " of " << idle << " in mode " << mode;
    }
    if (idle != IDLE_UNTIL_INPUT && mode == MODE_PLAY) {
        // The tick the rules woke for: in play it is never a wasted one.
        ASSERT_EQ(Tick(), 0);
        EXPECT_TRUE(Reports > 0 || Flow.Mode != mode)
            << "the tick after " << idle << " idle ones in play changed nothing";
    }
    // Nor a late one: after a scoring pass's pauses comes the next pass's
    // matching, whose clearing shows at once; at game over the cue, or the
    // title.
    if (idle != IDLE_UNTIL_INPUT && mode == MODE_RESOLVE) {
        EXPECT_EQ(Flow.ResolvePhase, RESOLVE_MATCH)
            << "after " << idle << " idle ticks the next pass is not the next tick's";
    }
    if (idle != IDLE_UNTIL_INPUT && mode == MODE_GAMEOVER) {
        EXPECT_TRUE(Flow.GameOverTicks == 3 || Flow.GameOverTicks == 60)
            << "after " << idle << " idle ticks at game over the count is " << Flow.GameOverTicks;
    }
    PutModules(before);
}

constexpr uint32_t Keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_RETURN, VK_SPACE, 'S', 'O'};

TEST(IdleTicks, WhatTheRulesCallIdleChangesNothingButTheirCounters) {
    std::mt19937 random(20261209);
    ResetGame();
    SetGameReport(Counter);
    Coverage seen{};
    int32_t gamesOver = 0;
    for (int32_t tick = 0; tick < 60000 && !::testing::Test::HasFatalFailure(); ++tick) {
        // Now and then the input changes: a key goes down or up, a touch
        // control is tapped, the repeat choices change.
        const uint32_t roll = random() % 100;
        const uint32_t key = Keys[random() % (sizeof Keys / sizeof Keys[0])];
        if (roll < 4) {
            OnKeyDown(key);
        } else if (roll < 9) {
            OnKeyUp(key);
        } else if (roll < 10) {
            OnTouchKeyDown(key);
            OnTouchKeyUp(key);
        } else if (roll < 11) {
            Flow.KeyRepeat[random() % 4] = static_cast<int32_t>(random() % 2);
        } else if (roll < 12) {
            // Everything let go: the quiet the loop sleeps in.
            ResetInputState();
        }
        const int32_t mode = Flow.Mode;
        Tick();
        if (mode != MODE_GAMEOVER && Flow.Mode == MODE_GAMEOVER) ++gamesOver;
        // Every state a tick leaves in a game goes through its saved form and
        // comes back the same: none the rules make is refused as damaged.
        if (GameInProgress()) {
            const GameModules now = CurrentModules();
            uint8_t saved[SnapshotSize], again[SnapshotSize];
            ASSERT_EQ(EncodeGame(saved), SnapshotSize);
            ASSERT_TRUE(DecodeGame(saved, sizeof saved))
                << "the game at tick " << tick << " is refused by its own saved form";
            ASSERT_EQ(EncodeGame(again), SnapshotSize);
            ASSERT_EQ(std::memcmp(saved, again, sizeof saved), 0) << "tick " << tick;
            PutModules(now);
        }
        // Not every tick: running ahead of a waiting title is long. Every
        // tick of a landing's resolving, which are few.
        const bool sample = random() % 4 == 0;
        if (sample || Flow.Mode == MODE_RESOLVE) CheckIdleTicks(&seen);
    }
    SetGameReport(GameReport{});
    EXPECT_GT(gamesOver, 0);
    // Every kind of wait was met, not only the easy ones.
    EXPECT_GT(seen.title, 0);
    EXPECT_GT(seen.fall, 0);
    EXPECT_GT(seen.paused, 0);
    EXPECT_GT(seen.message, 0);
    EXPECT_GT(seen.resolvePause, 0);
    EXPECT_GT(seen.gameOver, 0);
    EXPECT_GT(seen.heldKey, 0);
}

TEST(IdleTicks, EachWaitIsAsLongAsItsCounterSays) {
    ResetGame();
    Flow.Mode = MODE_TITLE;
    EXPECT_EQ(IdleTicksAhead(), 0) << "the title is yet to be drawn";
    Flow.TitleDrawn = 1;
    EXPECT_EQ(IdleTicksAhead(), IDLE_UNTIL_INPUT);

    Flow.Mode = MODE_PLAY;
    Board.FallInterval = 20;
    Board.FallCounter = 0;
    EXPECT_EQ(IdleTicksAhead(), 20) << "the pair falls on the 21st tick";
    Board.FallCounter = 20;
    EXPECT_EQ(IdleTicksAhead(), 0);
    Board.FallCounter = 25; // past the interval: falls at once
    EXPECT_EQ(IdleTicksAhead(), 0);
    Board.FallCounter = 5;
    Match.MessageTimer = 3;
    EXPECT_EQ(IdleTicksAhead(), 2) << "the message goes on the third tick, before the fall";
    Flow.FallStep = 0;
    Match.MessageTimer = 0;
    EXPECT_EQ(IdleTicksAhead(), IDLE_UNTIL_INPUT) << "paused, nothing showing";
    Flow.KeyRepeat[REPEAT_DROP] = 1;
    InputState.HeldKeys = KEY_DOWN;
    EXPECT_EQ(IdleTicksAhead(), 0) << "a held drop that repeats acts on every tick";
    Flow.KeyRepeat[REPEAT_DROP] = 0;
    EXPECT_EQ(IdleTicksAhead(), IDLE_UNTIL_INPUT) << "held, but acting only once a press";
    PressButton(BUTTON_DROP);
    EXPECT_EQ(IdleTicksAhead(), 0) << "the pressed button is raised on the next tick";
    ForgetPressedButton();

    Flow.Mode = MODE_GAMEOVER;
    const int32_t expected[] = {0, 2, 1, 0, 56};
    for (int32_t ticks = 0; ticks <= 4; ++ticks) {
        Flow.GameOverTicks = ticks;
        EXPECT_EQ(IdleTicksAhead(), expected[ticks]) << "game over tick count " << ticks;
    }
    Flow.GameOverTicks = 60;
    EXPECT_EQ(IdleTicksAhead(), 0) << "back to the title";
    ResetGame();
}

} // namespace
