// SPDX-License-Identifier: GPL-3.0-or-later
// What the backends share: the message queue with its quit, the timers'
// cadence, and controllers' buttons and sticks as keys.
#include "platform/loop.h"
#include "platform/pad.h"
#include "platform/queue.h"
#include "platform/timers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A burst of input while the game stood still (thousands of keys, a
// close): nothing is lost but pen moves, which later moves stand for.
TEST(EventQueue, ABurstLosesNoKeyNorCloseOnlyMovesMerge) {
    QueueReset();
    Event m{};
    EXPECT_FALSE(QueueTake(&m));
    int32_t posted = 0;
    for (uint32_t i = 0; QueueRoomForInput(); ++i, ++posted)
        QueuePost(KeyEvent(i % 2 == 0 ? EVENT_KEY_DOWN : EVENT_KEY_UP, VK_DOWN));
    EXPECT_EQ(posted, QueueSize - QueueKeptForTheGame);
    for (int32_t i = 0; i < 10000; ++i) QueuePost(PenEvent(EVENT_PEN_MOVE, 0, i, i));
    QueuePost(MakeEvent(EVENT_CLOSE));
    int32_t keys = 0, moves = 0, closes = 0;
    EventKind last = EVENT_KEY_UP;
    while (QueueTake(&m)) {
        if (m.kind == EVENT_KEY_DOWN || m.kind == EVENT_KEY_UP) {
            ASSERT_NE(m.kind, last) << "keys in their order, none lost";
            last = m.kind;
            ++keys;
        }
        if (m.kind == EVENT_PEN_MOVE) ++moves;
        if (m.kind == EVENT_CLOSE) ++closes;
    }
    EXPECT_EQ(keys, posted);
    EXPECT_EQ(closes, 1);
    EXPECT_GE(moves, 1);
    // The queue goes round its end and on.
    QueuePost(TimerEvent(7, 0));
    ASSERT_TRUE(QueueTake(&m));
    EXPECT_EQ(m.timer, 7u);
}

TEST(EventQueue, TheQuitStaysPosted) {
    QueueReset();
    EXPECT_FALSE(QueueQuitPosted());
    QueuePostQuit(3);
    EXPECT_TRUE(QueueQuitPosted());
    EXPECT_TRUE(QueueQuitPosted()) << "a dialog's loop ending on it leaves it for the main loop";
    EXPECT_EQ(QueueQuitCode(), 3);
    QueueReset();
    EXPECT_FALSE(QueueQuitPosted());
}

TEST(Timers, TheEarliestFallsDueFirstAndSettingAgainRestartsTheCount) {
    TimerKillAll(1);
    Event m{};
    EXPECT_FALSE(TimerRunning());
    EXPECT_EQ(TimerWait(0), -1);
    TimerSet(1, 1, 70, 1000);
    TimerSet(1, 2, 30, 1000);
    EXPECT_TRUE(TimerRunning());
    EXPECT_EQ(TimerWait(1000), 30);
    ASSERT_TRUE(TimerTake(1030, &m));
    EXPECT_EQ(m.timer, 2u);
    EXPECT_EQ(m.kind, EVENT_TIMER);
    EXPECT_EQ(TimerWait(1030), 30) << "timer 2 again at 1060, before timer 1 at 1070";
    TimerKill(1, 2);
    EXPECT_EQ(TimerWait(1030), 40);
    TimerSet(1, 1, 70, 1050); // restarted: due 70 ms from now
    EXPECT_FALSE(TimerTake(1070, &m));
    EXPECT_TRUE(TimerTake(1120, &m));
    TimerSet(1, 3, 0, 0); // a zero interval is one millisecond
    EXPECT_EQ(TimerWait(0), 1);
    TimerKillAll(1);
    EXPECT_FALSE(TimerRunning());
}

TEST(Timers, ASleepingTimerWakesForTheTickAfterTheOnesItNeedsNone) {
    TimerKillAll(1);
    Event m{};
    TimerSet(1, 1, 70, 1000); // ticks due at 1070, 1140, ...
    TimerSleep(1, 1, 3, 1000);
    EXPECT_EQ(TimerWait(1000), 280) << "three ticks slept through, woken for the fourth";
    EXPECT_FALSE(TimerTake(1279, &m));
    ASSERT_TRUE(TimerTake(1281, &m));
    EXPECT_EQ(m.slept, 3) << "one event for the three slept through and the one due";
    EXPECT_EQ(TimerWait(1281), 69) << "the cadence kept: next at 1350";
    // All of them: only another message wakes it.
    TimerSleep(1, 1, -1, 1290);
    EXPECT_EQ(TimerWait(1290), -1);
    EXPECT_TRUE(TimerRunning());
    EXPECT_FALSE(TimerTake(100000, &m));
    TimerKillAll(1);
}

TEST(Timers, BeforeAnotherMessageTheTicksWhoseTimeHasComeAreTakenAndTheSleepEnds) {
    TimerKillAll(1);
    Event m{};
    TimerSet(1, 1, 70, 1000);
    TimerSleep(1, 1, 10, 1000);
    EXPECT_FALSE(TimerWake(1070, &m)) << "a message at the tick's moment comes before it";
    TimerSleep(1, 1, 10, 1000);
    EXPECT_FALSE(TimerWake(1060, &m)) << "no tick due yet: the sleep just ends";
    EXPECT_EQ(TimerWait(1060), 10) << "awake: the next tick at its time";
    TimerSleep(1, 1, 10, 1060);
    ASSERT_TRUE(TimerWake(1215, &m)); // 1070 and 1140 and 1210 have passed
    EXPECT_EQ(m.slept, 2);
    EXPECT_FALSE(TimerWake(1215, &m));
    EXPECT_EQ(TimerWait(1215), 65) << "the tick of 1280 comes at its time, as without the sleep";
    // A sleep without end gives every tick that has passed.
    TimerSleep(1, 1, -1, 1215);
    ASSERT_TRUE(TimerWake(1281 + 70 * 99, &m));
    EXPECT_EQ(m.slept, 99);
    // Never the tick after those slept through: that one is due on its own.
    TimerSleep(1, 1, 2, 8200); // ticks of 8280 and 8350 slept through, 8420 due
    ASSERT_TRUE(TimerWake(9000, &m));
    EXPECT_EQ(m.slept, 1);
    ASSERT_TRUE(TimerTake(9000, &m));
    EXPECT_EQ(m.slept, 0);
    TimerKillAll(1);
}

TEST(Timers, ALongTickPutsTheNextAtOnceAndSettingTheTimerWakesIt) {
    TimerKillAll(1);
    Event m{};
    TimerSet(1, 1, 70, 1000);
    ASSERT_TRUE(TimerTake(1070, &m)); // the next is due at 1140
    // The tick played a cue until 1160: the next tick comes as soon as the
    // loop looks, on its own, and the one after it keeps the cadence, as
    // without the sleep.
    TimerSleep(1, 1, 2, 1160);
    EXPECT_EQ(TimerWait(1160), 0);
    ASSERT_TRUE(TimerTake(1160, &m));
    EXPECT_EQ(m.slept, 0);
    EXPECT_EQ(TimerWait(1160), 50) << "next at 1210";
    TimerSleep(1, 1, 2, 1160);
    EXPECT_EQ(TimerWait(1160), 190);
    TimerSet(1, 1, 70, 1160);
    EXPECT_EQ(TimerWait(1160), 70) << "set again: awake";
    // A tick far longer than two intervals (a cue on a slow sound output):
    // one late tick, never a pile of them, and the count starts afresh.
    ASSERT_TRUE(TimerTake(1230, &m));
    ASSERT_TRUE(TimerTake(1600, &m)) << "the tick due at 1300, late";
    EXPECT_FALSE(TimerTake(1600, &m)) << "the ticks of 1370 to 1580 do not pile up";
    EXPECT_EQ(TimerWait(1600), 70);
    TimerKillAll(1);
}

// A clock set back (or wrapped below its start, as SDL's is under a clock
// faked back) stands still instead of putting the next tick an age away;
// one that leaps ahead by years, on a waiting title, runs a bounded number
// of idle ticks and then keeps the cadence.
TEST(Timers, AClockThatGoesBackOrLeapsKeepsTheCadence) {
    SteadyTime clock{};
    EXPECT_EQ(SteadyNow(&clock, 5000), 5000u);
    EXPECT_EQ(SteadyNow(&clock, 5070), 5070u);
    EXPECT_EQ(SteadyNow(&clock, 1000), 5070u) << "ten minutes back: the time stands";
    EXPECT_EQ(SteadyNow(&clock, 1070), 5140u) << "and goes on from there";
    EXPECT_EQ(SteadyNow(&clock, ~uint64_t{0} - 599999), 5140u) << "below zero: back too";
    EXPECT_EQ(SteadyNow(&clock, ~uint64_t{0} - 599929), 5210u);

    TimerKillAll(1);
    Event m{};
    TimerSet(1, 1, 70, 1000);
    TimerSleep(1, 1, -1, 1000);
    const uint64_t years = 1000 + uint64_t{70} * 1000000000;
    ASSERT_TRUE(TimerWake(years, &m));
    EXPECT_EQ(m.slept, MaxTicksAtOnce - 1) << "at most this many idle ticks at once";
    EXPECT_FALSE(TimerWake(years, &m)) << "the rest are not run";
    EXPECT_LE(TimerWait(years), 70) << "the next tick within one interval";
    ASSERT_TRUE(TimerTake(years + 70, &m));
    EXPECT_EQ(m.slept, 0);
    EXPECT_EQ(TimerWait(years + 70), 70);
    TimerKillAll(1);
}

TEST(Loop, SleptTicksComeBeforeInputAndARepaintLeavesThemSleeping) {
    TimerKillAll(1);
    QueueReset();
    Event m{};
    int32_t wait = 0;
    static bool paint = false;
    const PaintWanted wanted = [] {
        const bool was = paint;
        paint = false;
        return was;
    };
    TimerSet(1, 1, 70, 0);
    TimerSleep(1, 1, -1, 0);
    EXPECT_FALSE(LoopLook(100, wanted, &m, &wait));
    EXPECT_EQ(wait, -1);
    paint = true;
    ASSERT_TRUE(LoopLook(100, wanted, &m, &wait));
    EXPECT_EQ(m.kind, EVENT_PAINT) << "a repaint shows what the slept ticks would not change";
    QueuePost(KeyEvent(EVENT_KEY_DOWN, VK_LEFT));
    ASSERT_TRUE(LoopLook(300, wanted, &m, &wait));
    EXPECT_EQ(m.kind, EVENT_TIMER);
    EXPECT_EQ(m.slept, 3) << "the ticks of 70, 140, 210 and 280, before the key";
    ASSERT_TRUE(LoopLook(300, wanted, &m, &wait));
    EXPECT_EQ(m.kind, EVENT_KEY_DOWN);
    EXPECT_FALSE(LoopLook(300, wanted, &m, &wait));
    EXPECT_EQ(wait, 50) << "the key is latched by the tick of 350";
    TimerKillAll(1);
}

std::vector<uint32_t> Keys(const Event* out, int32_t n, EventKind kind) {
    std::vector<uint32_t> keys;
    for (int32_t i = 0; i < n; ++i) {
        EXPECT_EQ(out[i].source, KEY_FROM_PAD);
        if (out[i].kind == kind) keys.push_back(out[i].key);
    }
    return keys;
}

TEST(Pad, ButtonsAndTheStickAreTheKeysTheyStandFor) {
    PadState pad{};
    Event out[PadMaxEvents];
    int32_t n = PadButtonChange(&pad, 5, PAD_A, true, out);
    EXPECT_EQ(Keys(out, n, EVENT_KEY_DOWN), std::vector<uint32_t>{VK_RETURN});
    n = PadButtonChange(&pad, 5, PAD_GUIDE, true, out);
    EXPECT_EQ(n, 0) << "a button that stands for no key";
    n = PadButtonChange(&pad, 5, PAD_A, false, out);
    EXPECT_EQ(Keys(out, n, EVENT_KEY_UP), std::vector<uint32_t>{VK_RETURN});
    EXPECT_EQ(PadButtonChange(&pad, 5, PAD_BUTTON_LIMIT, true, out), 0);

    // The stick: out of the dead zone past the press point, back within the
    // release point, and no chatter between.
    n = PadStickChange(&pad, 5, PAD_AXIS_Y, PadStickPress, out);
    EXPECT_EQ(Keys(out, n, EVENT_KEY_DOWN), std::vector<uint32_t>{VK_DOWN});
    EXPECT_EQ(PadStickChange(&pad, 5, PAD_AXIS_Y, PadStickRelease + 1, out), 0);
    n = PadStickChange(&pad, 5, PAD_AXIS_Y, -PadStickPress, out);
    EXPECT_EQ(Keys(out, n, EVENT_KEY_UP), std::vector<uint32_t>{VK_DOWN});
    EXPECT_EQ(Keys(out, n, EVENT_KEY_DOWN), std::vector<uint32_t>{VK_UP});
}

TEST(Pad, AKeyHeldByTwoControllersComesUpWithTheLastAndARemovalLetsGo) {
    PadState pad{};
    Event out[PadMaxEvents];
    PadButtonChange(&pad, 10, PAD_DPAD_LEFT, true, out);
    EXPECT_EQ(PadButtonChange(&pad, 11, PAD_DPAD_LEFT, true, out), 0) << "already down";
    EXPECT_EQ(PadButtonChange(&pad, 10, PAD_DPAD_LEFT, false, out), 0) << "still held";
    PadButtonChange(&pad, 11, PAD_START, true, out);
    const int32_t n = PadRemoved(&pad, 11, out);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(Keys(out, n, EVENT_KEY_UP), (std::vector<uint32_t>{VK_LEFT, VK_SPACE}));
}

} // namespace
