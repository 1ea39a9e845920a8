// SPDX-License-Identifier: GPL-3.0-or-later
// The saved game's bytes: what goes in comes out, nothing else is taken,
// and a game taken back goes on as the same game paused by Space.
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "game/snapshot.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

// Where a few fields lie in a version-1 file (the header is 12 bytes).
constexpr size_t AtCells = 12, AtPairTop = 103, AtColumn = 107, AtRow = 111, AtInterval = 115,
                 AtCounter = 119, AtScore = 127, AtPanelScore = 131, AtMap = 139,
                 AtMessageTimer = 242, AtMessage = 246, AtMode = 278, AtFallStep = 282,
                 AtPhase = 286, AtPause = 318, AtPending = 330, AtCrc = 334;

int32_t Tick() {
    LatchInput();
    return GameTick();
}
void Ticks(int32_t n) {
    for (int32_t i = 0; i < n; ++i) Tick();
}
// Ticks while the game is in `mode`: a game stuck there fails the test
// after a few minutes of game time rather than hanging it.
void TickWhile(int32_t mode) {
    for (int32_t n = 0; Flow.Mode == mode; ++n) {
        ASSERT_LT(n, 3000) << "still in mode " << mode;
        Tick();
    }
}
void Tap(uint32_t key) {
    OnKeyDown(key);
    Tick();
    OnKeyUp(key);
}

Bytes Encoded() {
    Bytes b(SnapshotSize + 8, 0xAA);
    const int32_t n = EncodeGame(b.data());
    b.resize(static_cast<size_t>(n));
    return b;
}

// A checksum made good again after a field was changed on purpose.
void Reseal(Bytes& b) { WriteLe32(b.data() + AtCrc, Crc32(b.data(), AtCrc)); }

class SnapshotTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetGame(); }

    // A game some way in: a few pairs locked, a message showing, a pair
    // moved, the generator moved on.
    static void PlaySomeWay() {
        Tick(); // the title
        Ticks(7);
        Tap(VK_RETURN);
        ASSERT_EQ(Flow.Mode, MODE_PLAY);
        for (int32_t pair = 0; pair < 3; ++pair) {
            Tap(pair % 2 == 0 ? VK_LEFT : VK_RIGHT);
            OnKeyDown(VK_DOWN);
            TickWhile(MODE_PLAY);
            OnKeyUp(VK_DOWN);
            TickWhile(MODE_RESOLVE);
        }
        ASSERT_EQ(Flow.Mode, MODE_PLAY);
        Ticks(5);
        Board.Score = 48;
        Board.PanelScore = 40;
        Match.MessageTimer = 12;
        ShowMessage("12 pt");
    }
};

TEST_F(SnapshotTest, CrcIsTheUsualOne) {
    const char* text = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

TEST_F(SnapshotTest, AGameGoesInAndComesOutWhole) {
    PlaySomeWay();
    const Bytes saved = Encoded();
    ASSERT_EQ(saved.size(), static_cast<size_t>(SnapshotSize));
    EXPECT_EQ(std::memcmp(saved.data(), "VSAV", 4), 0);
    EXPECT_EQ(ReadLe32(saved.data() + 4), 1u);
    EXPECT_EQ(ReadLe32(saved.data() + 8), static_cast<uint32_t>(SnapshotSize - 16));
    EXPECT_EQ(ReadLe32(saved.data() + AtCrc), Crc32(saved.data(), AtCrc));

    const BoardState board = Board;
    const MatchState match = Match;
    const FlowState flow = Flow;
    const ButtonsState buttons = Buttons;
    ResetGame();
    Board.HighScore = 777; // the settings' high score, which the game leaves alone
    ASSERT_TRUE(DecodeGame(saved.data(), saved.size()));
    EXPECT_EQ(std::memcmp(Board.Cells, board.Cells, sizeof Board.Cells), 0);
    EXPECT_EQ(Board.Pair.CurrentTop, board.Pair.CurrentTop);
    EXPECT_EQ(Board.Pair.CurrentBottom, board.Pair.CurrentBottom);
    EXPECT_EQ(Board.Pair.NextTop, board.Pair.NextTop);
    EXPECT_EQ(Board.Pair.NextBottom, board.Pair.NextBottom);
    EXPECT_EQ(Board.Pair.PairColumn, board.Pair.PairColumn);
    EXPECT_EQ(Board.Pair.PairRow, board.Pair.PairRow);
    EXPECT_EQ(Board.FallInterval, board.FallInterval);
    EXPECT_EQ(Board.FallCounter, board.FallCounter);
    EXPECT_EQ(Board.PairsSinceSpeedUp, board.PairsSinceSpeedUp);
    EXPECT_EQ(Board.Score, 48);
    EXPECT_EQ(Board.PanelScore, 40);
    EXPECT_EQ(Board.Random, board.Random);
    EXPECT_EQ(Board.HighScore, 777);
    EXPECT_EQ(Match.MessageTimer, 12);
    EXPECT_STREQ(Match.Message, "12 pt");
    EXPECT_EQ(Match.ChainCount, match.ChainCount);
    EXPECT_EQ(Match.ChainTotal, match.ChainTotal);
    EXPECT_EQ(Flow.Mode, flow.Mode);
    EXPECT_EQ(Flow.FallStep, flow.FallStep);
    EXPECT_EQ(Flow.NextShown, 1);
    EXPECT_EQ(std::memcmp(Flow.KeyRepeat, flow.KeyRepeat, sizeof Flow.KeyRepeat), 0);
    for (int32_t i : {BUTTON_SOUND, BUTTON_PAUSE, BUTTON_HIDDEN})
        EXPECT_EQ(Buttons.Table[i].state, buttons.Table[i].state) << "toggle " << i;
    EXPECT_EQ(Buttons.ReleasePending, buttons.ReleasePending);
    EXPECT_EQ(Buttons.PendingButton, buttons.PendingButton);
    // And the same bytes again.
    EXPECT_EQ(Encoded(), saved);
}

TEST_F(SnapshotTest, OnlyAGameInProgressIsKept) {
    Tick();
    EXPECT_FALSE(GameInProgress());
    EXPECT_TRUE(Encoded().empty()) << "the title keeps nothing";
    Tap(VK_RETURN);
    EXPECT_EQ(Encoded().size(), static_cast<size_t>(SnapshotSize));
    Flow.Mode = MODE_RESOLVE;
    EXPECT_EQ(Encoded().size(), static_cast<size_t>(SnapshotSize));
    Flow.Mode = MODE_GAMEOVER;
    EXPECT_TRUE(Encoded().empty()) << "a game that has ended keeps nothing";
}

// Whatever is refused leaves every value as it was.
class RefusedTest : public SnapshotTest {
  protected:
    void SetUp() override {
        SnapshotTest::SetUp();
        PlaySomeWay();
        good = Encoded();
        // A different game in memory, which a refused file must not touch.
        ResetGame();
        Tick();
        Ticks(3);
        Tap(VK_RETURN);
        before = Encoded();
    }
    void ExpectRefused(const Bytes& b, const char* what) {
        EXPECT_FALSE(DecodeGame(b.data(), b.size())) << what;
        EXPECT_EQ(Encoded(), before) << what << ": the game in memory changed";
    }
    Bytes good, before;
};

TEST_F(RefusedTest, ShortLongAndEmptyFiles) {
    EXPECT_FALSE(DecodeGame(nullptr, 0));
    for (size_t n = 0; n < good.size(); ++n) {
        Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        ExpectRefused(cut, "cut short");
    }
    Bytes longer = good;
    longer.push_back(0);
    ExpectRefused(longer, "one byte too many");
}

TEST_F(RefusedTest, AnyDamagedBitOrSwappedBytes) {
    for (size_t i = 0; i < good.size(); ++i) {
        for (int32_t bit = 0; bit < 8; ++bit) {
            Bytes b = good;
            b[i] ^= static_cast<uint8_t>(1u << bit);
            EXPECT_FALSE(DecodeGame(b.data(), b.size())) << "byte " << i << " bit " << bit;
        }
    }
    Bytes swapped = good;
    std::swap(swapped[AtCells + 90], swapped[AtPairTop]);
    ExpectRefused(swapped, "two bytes swapped");
    EXPECT_EQ(Encoded(), before);
}

TEST_F(RefusedTest, ForeignAndLaterFiles) {
    Bytes foreign = good;
    std::memcpy(foreign.data(), "VSAW", 4);
    Reseal(foreign);
    ExpectRefused(foreign, "another magic");
    Bytes settings(good.size(), 0);
    settings[0] = 86;
    settings[4] = 65;
    ExpectRefused(settings, "a settings file's start");
    Bytes later = good;
    WriteLe32(later.data() + 4, 2);
    Reseal(later);
    ExpectRefused(later, "a later version");
    Bytes length = good;
    WriteLe32(length.data() + 8, static_cast<uint32_t>(SnapshotSize - 17));
    Reseal(length);
    ExpectRefused(length, "a length that is not this version's");
}

// Sealed with a good checksum, a value the rules could never have left is
// still refused: nothing out of range reaches the game.
TEST_F(RefusedTest, ValuesTheRulesNeverMake) {
    struct Change {
        const char* what;
        size_t at;
        uint32_t value;
        bool word;
    };
    const Change changes[] = {
        {"a cell that is no arrow", AtCells + 40, 5, false},
        {"a pair arrow that is none", AtPairTop, 0, false},
        {"a column right of the well", AtColumn, 7, true},
        {"a column left of it", AtColumn, 0xFFFFFFFFu, true},
        {"a row below the well", AtRow, 12, true},
        {"a fall interval of 0", AtInterval, 0, true},
        {"a fall interval above 20", AtInterval, 21, true},
        {"a fall counter past the interval", AtCounter, 99, true},
        {"a negative score", AtScore, 0xFFFFFFFFu, true},
        {"a panel score above the score", AtPanelScore, 49, true},
        {"a match count no cell reaches", AtMap + 3, 17, false},
        {"a message timer beyond 30", AtMessageTimer, 31, true},
        {"a message that is not text", AtMessage, 7, false},
        {"the title", AtMode, MODE_TITLE, true},
        {"game over", AtMode, MODE_GAMEOVER, true},
        {"a mode that is none", AtMode, 9, true},
        {"a fall step of 2", AtFallStep, 2, true},
        {"paused with the PAUSE bar dark", AtFallStep, 0, true},
        {"the PAUSE bar lit with the fall going", AtPause, 1, true},
        {"a resolve phase in play", AtPhase, RESOLVE_SCORE, true},
        {"a button that is none", AtPending, 9, true},
    };
    for (const Change& c : changes) {
        Bytes b = good;
        if (c.word)
            WriteLe32(b.data() + c.at, c.value);
        else
            b[c.at] = static_cast<uint8_t>(c.value);
        Reseal(b);
        ExpectRefused(b, c.what);
    }
    // A message that fills its box with no end.
    Bytes message = good;
    std::memset(message.data() + AtMessage, 'x', MessageSize);
    Reseal(message);
    ExpectRefused(message, "a message without its end");
    // In play the pair stands on empty cells, over packed columns.
    Bytes under = good;
    const int32_t column = static_cast<int32_t>(ReadLe32(good.data() + AtColumn));
    const int32_t row = static_cast<int32_t>(ReadLe32(good.data() + AtRow));
    under[AtCells + static_cast<size_t>(column * BoardRows + row + 1)] = ARROW_UP;
    Reseal(under);
    ExpectRefused(under, "the pair over a taken cell");
    Bytes hole = good;
    hole[AtCells + 0] = ARROW_UP; // the top of column 0, over empty cells
    Reseal(hole);
    ExpectRefused(hole, "an arrow hanging over a gap in play");
    // A resolve phase that is none.
    Bytes phase = good;
    WriteLe32(phase.data() + AtMode, MODE_RESOLVE);
    WriteLe32(phase.data() + AtPhase, 6);
    Reseal(phase);
    ExpectRefused(phase, "an unknown resolve phase");
    // The same while resolving is a game the rules could make.
    WriteLe32(phase.data() + AtPhase, RESOLVE_GRAVITY);
    Reseal(phase);
    EXPECT_TRUE(DecodeGame(phase.data(), phase.size()));
}

// Two copies of a game: one saved and taken back, one that goes on.
class ResumeTest : public SnapshotTest {
  protected:
    // The saved game taken back, resumed, alongside the one in memory; the
    // one in memory is returned to.
    static Bytes Resumed(const Bytes& saved) {
        const BoardState board = Board;
        const MatchState match = Match;
        const FlowState flow = Flow;
        const ButtonsState buttons = Buttons;
        const InputStateFields input = InputState;
        ResetGame();
        Board.HighScore = board.HighScore;
        EXPECT_TRUE(DecodeGame(saved.data(), saved.size()));
        ResumeGame();
        Bytes out = Encoded();
        Board = board;
        Match = match;
        Flow = flow;
        Buttons = buttons;
        InputState = input;
        return out;
    }
    // Space pressed on the next tick and let go, as a player does.
    static void PressSpace() {
        OnKeyDown(VK_SPACE);
        Tick();
        OnKeyUp(VK_SPACE);
    }
};

TEST_F(ResumeTest, InPlayItIsTheGamePausedBySpaceAtThatTick) {
    PlaySomeWay();
    Tap(VK_LEFT); // a button still shown pressed when the game is saved
    const Bytes saved = Encoded();
    const int32_t timer = Match.MessageTimer;
    const Bytes resumed = Resumed(saved);
    PressSpace();
    EXPECT_EQ(Flow.FallStep, 0);
    EXPECT_EQ(ButtonState(BUTTON_PAUSE), 1) << "the PAUSE bar is lit";
    EXPECT_EQ(Match.MessageTimer, timer - 1) << "the message timer counts the Space tick";
    EXPECT_EQ(resumed, Encoded());
}

TEST_F(ResumeTest, AGamePausedAlreadyStaysAsItWas) {
    PlaySomeWay();
    PressSpace();
    Tick();
    const Bytes saved = Encoded();
    EXPECT_EQ(Resumed(saved), saved);
}

TEST_F(ResumeTest, ResumedAndUninterruptedGamesStayEqualAsTheyGoOn) {
    PlaySomeWay();
    ResetGame();
    // Down repeating, as by default, so that a held Down drops the pairs.
    Flow.KeyRepeat[REPEAT_DROP] = 1;
    Tick();
    Ticks(11);
    Tap(VK_RETURN);
    Ticks(3);
    const Bytes saved = Encoded();
    // The resumed game is played in place of the one in memory from here.
    const Bytes resumed = Resumed(saved);
    PressSpace();
    Tick();
    Bytes a = Encoded();
    ResetGame();
    ASSERT_TRUE(DecodeGame(resumed.data(), resumed.size()));
    Tick();
    ASSERT_EQ(Encoded(), a);
    // Both go on with the same input: Space, then pairs dropped to the end.
    auto goOn = [] {
        PressSpace();
        for (int32_t i = 0; i < 400 && Flow.Mode != MODE_GAMEOVER; ++i) {
            OnKeyDown(i % 5 == 0 ? VK_LEFT : VK_DOWN);
            Tick();
            OnKeyUp(VK_LEFT);
            OnKeyUp(VK_DOWN);
            Tick();
        }
    };
    goOn();
    const BoardState board = Board;
    const int32_t mode = Flow.Mode;
    ResetGame();
    ASSERT_TRUE(DecodeGame(a.data(), a.size()));
    goOn();
    EXPECT_EQ(Flow.Mode, mode);
    EXPECT_EQ(std::memcmp(Board.Cells, board.Cells, sizeof Board.Cells), 0);
    EXPECT_EQ(Board.Score, board.Score);
    EXPECT_EQ(Board.Random, board.Random);
}

TEST_F(ResumeTest, MidResolutionTheChainRunsOnAndTheNextPairWaitsPaused) {
    PlaySomeWay();
    // Four up arrows down column 0 once the pair lands: a scoring pass.
    ResetGame();
    Tick();
    Tap(VK_RETURN);
    for (int32_t row = 11; row < 13; ++row) BoardCell(0, row) = ARROW_UP;
    Board.Pair.CurrentTop = Board.Pair.CurrentBottom = ARROW_UP;
    Board.Pair.PairColumn = 0;
    Board.Pair.PairRow = 9;
    Board.FallCounter = Board.FallInterval;
    Tick(); // locks
    ASSERT_EQ(Flow.Mode, MODE_RESOLVE);
    Ticks(2); // landed and matched
    const Bytes saved = Encoded();
    const Bytes resumed = Resumed(saved);

    // The uninterrupted game: the chain to its end, Space on the new
    // pair's first tick.
    TickWhile(MODE_RESOLVE);
    PressSpace();
    Tick();
    const Bytes uninterrupted = Encoded();

    ResetGame();
    ASSERT_TRUE(DecodeGame(resumed.data(), resumed.size()));
    EXPECT_EQ(Flow.Mode, MODE_RESOLVE);
    EXPECT_EQ(ButtonState(BUTTON_PAUSE), 1) << "the PAUSE bar is lit at once";
    TickWhile(MODE_RESOLVE);
    EXPECT_EQ(Board.Score, 4) << "the pass was paid";
    Ticks(2);
    EXPECT_EQ(Encoded(), uninterrupted);
}
} // namespace
