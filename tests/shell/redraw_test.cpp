// SPDX-License-Identifier: GPL-3.0-or-later
// The picture drawn afresh from the state alone equals the one the game drew
// piece by piece, at random moments of random games, in every mode and on
// screens of every shape.
#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "platform/headless/headless.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/app.h"
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// The part of the back buffer compared: the whole logical picture, the
// bands around the game area too (a tall window's title puts its prompt
// below the area, and play must not leave it there).
struct Region {
    int32_t x, y, w, h;
};

Region Compared() { return {0, 0, Layout.LogicalWidth, Layout.LogicalHeight}; }

// The region's pixels, row after row, into `pixels` (which keeps its room
// from one look to the next: the test makes thousands).
void CopyInto(const Region& r, std::vector<uint32_t>& pixels) {
    pixels.resize(static_cast<size_t>(r.w) * static_cast<size_t>(r.h));
    for (int32_t y = r.y; y < r.y + r.h; ++y) {
        const uint32_t* row = Layout.BackBuffer.Pixels + y * Layout.BackBuffer.Width + r.x;
        std::copy(row, row + r.w, pixels.begin() + static_cast<ptrdiff_t>(y - r.y) * r.w);
    }
}

std::vector<uint32_t> Copy(const Region& r) {
    std::vector<uint32_t> pixels;
    CopyInto(r, pixels);
    return pixels;
}

std::string Where() {
    return "mode " + std::to_string(Flow.Mode) + ", phase " + std::to_string(Flow.ResolvePhase) +
           ", title drawn " + std::to_string(Flow.TitleDrawn) + ", paused " +
           std::to_string(1 - Flow.FallStep) + ", pressed " +
           std::to_string(Buttons.ReleasePending != 0 ? Buttons.PendingButton : -1);
}

// What is on the screen, as the rules know it: every kind must be met.
std::string Kind() {
    if (Flow.Mode == MODE_TITLE) return Flow.TitleDrawn != 0 ? "title" : "title, not yet drawn";
    if (Flow.Mode == MODE_RESOLVE) return "resolve " + std::to_string(Flow.ResolvePhase);
    if (Flow.Mode == MODE_PLAY) return Flow.FallStep == 0 ? "paused" : "play";
    return "game over";
}

// Besides each kind of screen the first time it is met, one moment in this
// many is looked at: fewer in the builds where each look costs far more (the
// sanitizers, an emulator), over the same games.
#ifdef VANTLE_REDRAW_ONE_IN
constexpr uint32_t OneIn = VANTLE_REDRAW_ONE_IN;
#else
constexpr uint32_t OneIn = 5;
#endif

class RedrawTest : public ::testing::TestWithParam<std::pair<int, int>> {
  protected:
    void SetUp() override {
        ResetGame();
        HeadlessReset();
        SetSettingsPath(""); // the defaults: only the drop repeats
        HeadlessSetWindowSize(GetParam().first, GetParam().second);
        ASSERT_EQ(CreateMainWindow(), 1);
    }
    void TearDown() override {
        if (PlatformWindowAlive(MainWindow)) PlatformDestroyWindow(MainWindow);
    }
    static void Send(const Event& e) { PlatformDispatchEvent(e); }
};

TEST_P(RedrawTest, TheWholePictureFromTheStateEqualsThePictureDrawnPieceByPiece) {
    std::mt19937 random(static_cast<uint32_t>(GetParam().first * 7919 + GetParam().second));
    // Keys a player uses in play; Escape and O would end the game or open
    // the dialog, which have tests of their own.
    const uint32_t keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_RETURN, VK_SPACE, VK_S, 'X'};
    std::set<std::string> kinds;
    int checks = 0;
    std::vector<uint32_t> drawn, redrawn;
    for (int step = 0; step < 12000 && PlatformWindowAlive(MainWindow); ++step) {
        const uint32_t roll = random() % 100;
        if (roll < 6) {
            Send(KeyEvent(EVENT_KEY_DOWN, keys[random() % 8]));
        } else if (roll < 12) {
            Send(KeyEvent(EVENT_KEY_UP, keys[random() % 8]));
        } else if (roll < 14) {
            // Below the top row of buttons, where Quit and Options stand.
            const auto top = static_cast<int32_t>(20 * Layout.Scale);
            const auto x =
                static_cast<int32_t>(random() % static_cast<uint32_t>(Layout.WindowWidth));
            const auto y = top + static_cast<int32_t>(
                                     random() % static_cast<uint32_t>(Layout.WindowHeight - top));
            Send(PenEvent(EVENT_PEN_DOWN, 0, x, y));
        } else if (roll < 16) {
            Send(PenEvent(EVENT_PEN_UP, 0, 0, 0));
        } else {
            // Hold the drop: pairs come down fast, and games end often.
            if (Flow.Mode == MODE_PLAY && random() % 4 == 0)
                Send(KeyEvent(EVENT_KEY_DOWN, VK_DOWN));
            Send(TimerEvent(GameTimerId, 0));
            // Never a pause for long.
            if (Flow.Mode == MODE_PLAY && Flow.FallStep == 0 && random() % 20 == 0) {
                Send(KeyEvent(EVENT_KEY_DOWN, VK_SPACE));
                Send(TimerEvent(GameTimerId, 0));
                Send(KeyEvent(EVENT_KEY_UP, VK_SPACE));
            }
            // Each kind of screen the first time it is met, then now and then.
            if (kinds.count(Kind()) != 0 && random() % OneIn != 0) continue;
            const Region r = Compared();
            CopyInto(r, drawn);
            DrawGame();
            CopyInto(r, redrawn);
            ++checks;
            kinds.insert(Kind());
            if (drawn != redrawn) {
                const auto i = std::mismatch(drawn.begin(), drawn.end(), redrawn.begin()).first -
                               drawn.begin();
                FAIL() << "step " << step << ", " << Where() << ": first difference at ("
                       << r.x + static_cast<int32_t>(i) % r.w << ", "
                       << r.y + static_cast<int32_t>(i) / r.w << ")";
            }
        }
    }
    EXPECT_GT(checks, 2000 / static_cast<int>(OneIn));
    for (const char* kind :
         {"title", "title, not yet drawn", "play", "paused", "game over", "resolve 0", "resolve 1",
          "resolve 2", "resolve 3", "resolve 4", "resolve 5", "resolve 10"})
        EXPECT_EQ(kinds.count(kind), 1u) << "never checked: " << kind;
}

INSTANTIATE_TEST_SUITE_P(Screens, RedrawTest,
                         ::testing::Values(std::make_pair(320, 240), std::make_pair(240, 320),
                                           std::make_pair(640, 480), std::make_pair(480, 640),
                                           std::make_pair(200, 150), std::make_pair(1080, 1920),
                                           std::make_pair(720, 1600), std::make_pair(600, 1024),
                                           std::make_pair(1920, 1080)),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" +
                                    std::to_string(info.param.second);
                         });

TEST(Redraw, TheFirstPictureHasAnEmptyNextFrame) {
    ResetGame();
    HeadlessReset();
    SetSettingsPath("");
    HeadlessSetWindowSize(320, 240);
    ASSERT_EQ(CreateMainWindow(), 1);
    const Region r = Compared();
    const std::vector<uint32_t> drawn = Copy(r);
    DrawGame();
    EXPECT_EQ(Copy(r), drawn);
    PlatformDestroyWindow(MainWindow);
}

// O on the title shows the Options button pressed for a tick before the
// dialog opens; a picture drawn afresh then (the window resized) shows it
// pressed too.
TEST(Redraw, TheTitlesPressedOptionsButtonIsDrawnAgain) {
    ResetGame();
    HeadlessReset();
    SetSettingsPath("");
    HeadlessSetWindowSize(320, 240);
    ASSERT_EQ(CreateMainWindow(), 1);
    const auto send = [](const Event& e) { PlatformDispatchEvent(e); };
    for (int i = 0; i < 3; ++i) send(TimerEvent(GameTimerId, 0));
    send(KeyEvent(EVENT_KEY_DOWN, VK_O));
    send(TimerEvent(GameTimerId, 0));
    ASSERT_EQ(Flow.Mode, MODE_TITLE);
    ASSERT_EQ(Buttons.PendingButton, BUTTON_OPTIONS);
    const Region r = Compared();
    const std::vector<uint32_t> drawn = Copy(r);
    DrawGame();
    EXPECT_EQ(Copy(r), drawn) << "the pressed Options button is lost by a redraw";
    send(KeyEvent(EVENT_KEY_UP, VK_O));
    PlatformDestroyWindow(MainWindow);
}

} // namespace
