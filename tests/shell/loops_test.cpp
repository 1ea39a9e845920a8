// SPDX-License-Identifier: GPL-3.0-or-later
// The loop that sleeps through idle ticks against the loop that wakes for
// every tick: the same random input, arriving at the same moments of a
// simulated clock, through the backends' own look at the queue and timers
// and the whole shell, must give the same game tick for tick, the same
// picture on the screen at every moment, and the same sounds at the same
// moments, while the sleeping loop wakes far less.
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/headless/headless.h"
#include "platform/loop.h"
#include "platform/queue.h"
#include "platform/timers.h"
#include "render/layout.h"
#include "shell/app.h"
#include "shell/settings.h"
#include "tests/support/game_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

struct Arrival {
    uint64_t time;
    Event event;
};

// Random input over `seconds`: keys held for a while or only a moment (a
// key shorter than a tick is not seen, by design, and must be missed alike),
// touch controls tapped, the pen put down here and there, the window hidden
// now and then, and quiet spells long enough for the title and a pause.
std::vector<Arrival> RandomInput(uint32_t seed, int32_t seconds, int32_t width, int32_t height) {
    std::mt19937 random(seed);
    const uint32_t keys[] = {VK_LEFT,   VK_RIGHT, VK_UP, VK_DOWN, VK_DOWN, VK_DOWN,
                             VK_RETURN, VK_SPACE, VK_S,  'O',     'X'};
    std::vector<Arrival> input;
    const uint64_t end = static_cast<uint64_t>(seconds) * 1000;
    uint64_t t = 500;
    while (t < end) {
        const uint32_t roll = random() % 100;
        const uint32_t key = keys[random() % (sizeof keys / sizeof keys[0])];
        const uint64_t hold = 5 + random() % (roll < 50 ? 300 : 1500);
        if (roll < 70) {
            input.push_back({t, KeyEvent(EVENT_KEY_DOWN, key)});
            input.push_back({t + hold, KeyEvent(EVENT_KEY_UP, key)});
        } else if (roll < 85) {
            input.push_back({t, KeyEvent(EVENT_KEY_DOWN, key, KEY_FROM_TOUCH)});
            input.push_back({t + hold % 60, KeyEvent(EVENT_KEY_UP, key, KEY_FROM_TOUCH)});
        } else if (roll < 97) {
            const auto x = static_cast<int32_t>(random() % width);
            const auto y = static_cast<int32_t>(random() % height);
            input.push_back({t, PenEvent(EVENT_PEN_DOWN, 0, x, y)});
            input.push_back({t + hold, PenEvent(EVENT_PEN_UP, 0, x, y)});
        } else {
            input.push_back({t, ShownEvent(false)});
            input.push_back({t + hold, ShownEvent(true)});
        }
        // Mostly busy, with spells of quiet up to ten seconds.
        t += 1 + (random() % 10 == 0 ? random() % 10000 : random() % 600);
    }
    std::stable_sort(input.begin(), input.end(),
                     [](const Arrival& a, const Arrival& b) { return a.time < b.time; });
    return input;
}

uint64_t PictureHash() {
    uint64_t h = 1469598103934665603u;
    for (int32_t y = 0; y < Layout.LogicalHeight; ++y) {
        const uint32_t* row = Layout.BackBuffer.Pixels + y * Layout.BackBuffer.Width;
        for (int32_t x = 0; x < Layout.LogicalWidth; ++x) h = (h ^ row[x]) * 1099511628211u;
    }
    return h;
}

// Every module of the rules and the input, and the picture.
std::string GameState() {
    std::string s = ModuleBytes(CurrentModules());
    const uint64_t picture = PictureHash();
    s.append(reinterpret_cast<const char*>(&picture), sizeof picture);
    return s;
}

struct Run {
    std::map<uint64_t, std::string> afterTick;        // by the tick's number
    std::map<uint64_t, uint64_t> dueTickTime;         // ticks run when they fell due
    std::vector<std::pair<uint64_t, uint64_t>> shown; // (time, picture) of each present
    std::vector<std::pair<uint64_t, std::string>> sounds;
    uint64_t ticks = 0;
    int32_t wakes = 0;
    int32_t games = 0;
};

int32_t Invalidations = 0;
bool PaintWanted() {
    const int32_t now = HeadlessInvalidateCount();
    if (now == Invalidations) return false;
    Invalidations = now;
    return true;
}

// Runs the game on the simulated clock until `end`. The sleeping loop lets
// the timer sleep as the game asks; the other wakes it after every tick, as
// the loop did before the game said when it next acts.
Run RunLoop(const std::vector<Arrival>& input, uint64_t end, bool sleeping, int32_t width,
            int32_t height) {
    ResetGame();
    HeadlessReset();
    SetSettingsPath("");
    HeadlessSetWindowSize(width, height);
    HeadlessSetClock(0);
    Invalidations = 0;
    Run run;
    EXPECT_EQ(CreateMainWindow(), 1);
    uint64_t now = 0;
    size_t next = 0;
    int32_t modeBefore = Flow.Mode;
    // A loop that hands out message after message without its clock moving
    // (or sleeps for no time, again and again) fails the test rather than
    // hanging it; a moment holds a handful.
    uint64_t stillAt = ~uint64_t{0};
    int32_t looksThen = 0;
    while (now <= end && PlatformWindowAlive(MainWindow)) {
        if (now != stillAt) {
            stillAt = now;
            looksThen = 0;
        } else if (++looksThen > 10000) {
            ADD_FAILURE() << "the loop spins at " << now << " ms";
            break;
        }
        // Whatever has arrived by now is in the queue.
        while (next < input.size() && input[next].time <= now) QueuePost(input[next++].event);
        HeadlessSetClock(now);
        Event m{};
        int32_t wait = -1;
        // With input waiting, a timer event holds only ticks slept through
        // (their time came before the input's); otherwise its last tick is
        // the one due now.
        const bool inputWaiting = QueueCount() > 0;
        if (LoopLook(now, PaintWanted, &m, &wait)) {
            if (m.kind == EVENT_TIMER) {
                const uint64_t slept = m.slept > 0 ? static_cast<uint64_t>(m.slept) : 0;
                if (!sleeping) {
                    EXPECT_EQ(slept, 0u);
                }
                run.ticks += slept + 1;
                if (!inputWaiting) run.dueTickTime[run.ticks] = now;
            }
            if (!TranslateAccelerator(m)) PlatformDispatchEvent(m);
            if (m.kind == EVENT_TIMER) {
                run.afterTick[run.ticks] = GameState();
                if (!sleeping) TimerSleep(MainWindow, GameTimerId, 0, now);
                if (modeBefore != MODE_GAMEOVER && Flow.Mode == MODE_GAMEOVER) ++run.games;
                modeBefore = Flow.Mode;
            }
            if (m.kind == EVENT_PAINT) run.shown.emplace_back(now, PictureHash());
            HeadlessSound sounds[16];
            const int32_t n = HeadlessTakeSounds(sounds, 16);
            for (int32_t i = 0; i < n; ++i) run.sounds.emplace_back(now, sounds[i].name);
            continue;
        }
        // Asleep until the loop's time or the next input, whichever first.
        ++run.wakes;
        uint64_t until = wait < 0 ? end + 1 : now + static_cast<uint64_t>(wait);
        if (next < input.size() && input[next].time < until) until = input[next].time;
        now = until;
    }
    if (PlatformWindowAlive(MainWindow)) PlatformDestroyWindow(MainWindow);
    return run;
}

// The picture on the screen at `time`: the last one presented by then.
uint64_t ShownAt(const Run& run, uint64_t time) {
    uint64_t picture = 0;
    for (const auto& [at, hash] : run.shown) {
        if (at > time) break;
        picture = hash;
    }
    return picture;
}

// Where two states part: the byte, and the picture as the last eight.
std::string Difference(const std::string& a, const std::string& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i])
            return (i + 8 >= a.size() ? "the picture, byte " : "the state's byte ") +
                   std::to_string(i);
    return "length";
}

void Compare(uint32_t seed, int32_t width, int32_t height) {
    constexpr int32_t Seconds = 300;
    const std::vector<Arrival> input = RandomInput(seed, Seconds, width, height);
    const uint64_t end = static_cast<uint64_t>(Seconds) * 1000;
    const Run each = RunLoop(input, end, false, width, height);
    const Run sleeps = RunLoop(input, end, true, width, height);
    const std::string where = "seed " + std::to_string(seed) + " at " + std::to_string(width) +
                              "x" + std::to_string(height);

    // Every state the sleeping loop was seen in is the other's at that tick.
    ASSERT_GT(sleeps.afterTick.size(), 0u);
    for (const auto& [tick, state] : sleeps.afterTick) {
        const auto other = each.afterTick.find(tick);
        ASSERT_NE(other, each.afterTick.end()) << where << ": tick " << tick;
        ASSERT_TRUE(other->second == state)
            << where << ": tick " << tick << " differs in " << Difference(other->second, state);
    }
    // The ticks it woke for came at the moments they came before.
    for (const auto& [tick, time] : sleeps.dueTickTime) {
        const auto other = each.dueTickTime.find(tick);
        ASSERT_NE(other, each.dueTickTime.end()) << where << ": tick " << tick;
        ASSERT_EQ(other->second, time) << where << ": tick " << tick;
    }
    // Nothing differs on the screen at any moment either loop showed
    // something, nor in what was heard when.
    for (const auto& [time, picture] : each.shown)
        ASSERT_EQ(ShownAt(sleeps, time), picture) << where << ": at " << time << " ms";
    for (const auto& [time, picture] : sleeps.shown)
        ASSERT_EQ(ShownAt(each, time), picture) << where << ": at " << time << " ms";
    EXPECT_EQ(sleeps.sounds, each.sounds) << where;
    // Random play that went somewhere, and far fewer wake-ups for it.
    EXPECT_GT(each.games, 0) << where;
    EXPECT_GT(each.wakes, 2 * sleeps.wakes) << where;
    std::printf("%s: %d games, %d wake-ups tick by tick, %d sleeping\n", where.c_str(), each.games,
                each.wakes, sleeps.wakes);
}

TEST(Loops, SleepingThroughIdleTicksChangesNoTickAndNoPicture) {
    Compare(1, 320, 240);
    Compare(2, 240, 320);
    Compare(3, 640, 480);
}

} // namespace
