// SPDX-License-Identifier: GPL-3.0-or-later
// When the game in progress is written and when it is thrown away, and how
// it comes back, through the window's own messages on the headless backend.
#include "game/board.h"
#include "game/flow.h"
#include "game/snapshot.h"
#include "input/buttons.h"
#include "platform/bytes.h"
#include "platform/headless/headless.h"
#include "render/layout.h"
#include "shell/app.h"
#include "shell/saved_game.h"
#include "shell/settings.h"
#include "tests/support/events.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::string& path) {
    Bytes b;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buffer[512];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            b.insert(b.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return b;
}

void WriteAll(const std::string& path, const Bytes& b) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!b.empty()) std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

int32_t Word(const Bytes& b, size_t at) { return static_cast<int32_t>(ReadLe32(b.data() + at)); }
// Offsets of the saved game's mode, fall step and pair column.
constexpr size_t AtColumn = 107, AtMode = 278, AtFallStep = 282;

class KeptGameTest : public ::testing::Test {
  protected:
    std::string dir, settings, game;
    void SetUp() override {
        // A folder of its own: CTest runs tests side by side.
        dir = MakeScratchFolder("vantle-kept");
        ASSERT_FALSE(dir.empty());
        settings = dir + "/vantle.dat";
        game = dir + "/vantle.sav";
    }
    void TearDown() override {
        if (PlatformWindowAlive(MainWindow)) PlatformDestroyWindow(MainWindow);
        SetGamePath("");
        SetSettingsPath("");
        RemoveScratchFolder(dir);
    }
    // A new start of the program on the same files.
    void Start() {
        if (PlatformWindowAlive(MainWindow)) {
            ReleaseScreen();
            HeadlessReset();
        }
        ResetGame();
        HeadlessReset();
        SetSettingsPath(settings.c_str());
        SetGamePath(game.c_str());
        ASSERT_EQ(CreateMainWindow(), 1);
    }
    static void Send(const Event& e) { PlatformDispatchEvent(e); }
    static void Tick(int32_t n = 1) {
        for (int32_t i = 0; i < n && PlatformWindowAlive(MainWindow); ++i)
            Send(TimerEvent(GameTimerId, 0));
    }
    static void Press(uint32_t key) {
        Send(KeyEvent(EVENT_KEY_DOWN, key));
        Tick();
        Send(KeyEvent(EVENT_KEY_UP, key));
        Tick();
    }
    void StartPlaying() {
        Start();
        Tick(3);
        Press(VK_RETURN);
        ASSERT_EQ(Flow.Mode, MODE_PLAY);
    }
    // Ticks while the game is in `mode`: a game stuck there (or a window
    // gone, which ticks no more) fails the test rather than hanging it.
    static void TickWhile(int32_t mode) {
        for (int32_t n = 0; Flow.Mode == mode; ++n) {
            ASSERT_LT(n, 3000) << "still in mode " << mode;
            Tick();
        }
    }
    // Down held until the pair has locked and the next one is dealt.
    static void DropPair() {
        Send(KeyEvent(EVENT_KEY_DOWN, VK_DOWN));
        TickWhile(MODE_PLAY);
        Send(KeyEvent(EVENT_KEY_UP, VK_DOWN));
        TickWhile(MODE_RESOLVE);
    }
    static Bytes Picture() {
        const Surface& s = Layout.BackBuffer;
        const auto* p = reinterpret_cast<const uint8_t*>(s.Pixels);
        return Bytes(p, p + static_cast<size_t>(s.Width) * static_cast<size_t>(s.Height) * 4);
    }
};

TEST_F(KeptGameTest, ANewPairAndAPauseAreCheckpointsAndNothingElseWrites) {
    StartPlaying();
    const Bytes first = ReadAll(game);
    ASSERT_EQ(first.size(), static_cast<size_t>(SnapshotSize)) << "the first pair dealt is kept";
    EXPECT_EQ(Word(first, AtMode), MODE_PLAY);
    // Moves and falls within a pair write nothing.
    Press(VK_LEFT);
    Tick(25);
    EXPECT_EQ(ReadAll(game), first);
    DropPair();
    ASSERT_EQ(Flow.Mode, MODE_PLAY);
    const Bytes second = ReadAll(game);
    EXPECT_NE(second, first) << "the next pair dealt is kept";
    EXPECT_EQ(Word(second, AtMode), MODE_PLAY);
    Press(VK_SPACE);
    const Bytes paused = ReadAll(game);
    EXPECT_EQ(Word(paused, AtFallStep), 0) << "a pause is kept";
    Press(VK_SPACE);
    EXPECT_EQ(ReadAll(game), paused) << "going on writes nothing";
    // Hidden, the game pauses, and that is kept too.
    Send(ShownEvent(false));
    EXPECT_EQ(Flow.FallStep, 0);
    EXPECT_EQ(Word(ReadAll(game), AtFallStep), 0);
}

TEST_F(KeptGameTest, EveryEndThePlayerDidNotChooseKeepsTheGameAsItIs) {
    const Event ends[] = {MakeEvent(EVENT_CLOSE), CommandEvent(CMD_CLOSE),
                          MakeEvent(EVENT_END_SESSION)};
    for (const Event& end : ends) {
        std::remove(game.c_str());
        StartPlaying();
        Press(VK_LEFT);
        Press(VK_LEFT);
        ASSERT_EQ(Board.Pair.PairColumn, 1);
        Send(end);
        const Bytes kept = ReadAll(game);
        ASSERT_EQ(kept.size(), static_cast<size_t>(SnapshotSize)) << "end " << What(end);
        EXPECT_EQ(Word(kept, AtColumn), 1) << "end " << What(end) << ": the game as it was then";
        EXPECT_TRUE(Exists(settings)) << "end " << What(end) << ": the settings are saved too";
    }
}

TEST_F(KeptGameTest, ThePlayersQuitAndTheGamesEndThrowItAway) {
    StartPlaying();
    ASSERT_TRUE(Exists(game));
    Press(VK_ESCAPE);
    EXPECT_FALSE(PlatformWindowAlive(MainWindow));
    EXPECT_FALSE(Exists(game)) << "Escape in play";
    Start();
    Tick(2);
    EXPECT_EQ(Flow.Mode, MODE_TITLE) << "the next start shows the title";

    // The quit button tapped in play is Escape.
    StartPlaying();
    Send(KeyEvent(EVENT_KEY_DOWN, VK_ESCAPE));
    Tick();
    EXPECT_FALSE(Exists(game)) << "the quit button";

    // Escape on the title leaves a file it could not read alone.
    WriteAll(game, Bytes{1, 2, 3});
    Start();
    Tick(2);
    Press(VK_ESCAPE);
    EXPECT_EQ(ReadAll(game), (Bytes{1, 2, 3}));

    // A kept game reached through a link: the game it names is thrown away,
    // not the link with the game left where it points.
    std::remove(game.c_str());
    const std::string kept = dir + "/kept.sav";
    ASSERT_EQ(symlink("kept.sav", game.c_str()), 0);
    StartPlaying();
    ASSERT_TRUE(Exists(kept));
    Press(VK_ESCAPE);
    EXPECT_FALSE(Exists(kept)) << "the game a link names outlives the quit";
    Start();
    Tick(2);
    EXPECT_EQ(Flow.Mode, MODE_TITLE);
}

TEST_F(KeptGameTest, AGameThatEndsIsThrownAwayAndANewRecordSavedAtOnce) {
    StartPlaying();
    // Column 3 nearly full: the next pair cannot come in.
    for (int32_t row = 2; row < BoardRows; ++row)
        BoardCell(3, row) = static_cast<uint8_t>(row % 2 == 0 ? ARROW_LEFT : ARROW_RIGHT);
    Board.Score = 36;
    DropPair();
    ASSERT_EQ(Flow.Mode, MODE_GAMEOVER);
    EXPECT_FALSE(Exists(game));
    // The record is on the disk by the tick that throws the game away, so
    // that a kill then loses neither.
    const Bytes saved = ReadAll(settings);
    ASSERT_EQ(saved.size(), 36u) << "the record is saved while the program still runs";
    EXPECT_EQ(Word(saved, 12), 36);
    std::remove(settings.c_str());
    Tick(3);
    EXPECT_FALSE(Exists(settings)) << "a record is saved once, not on every tick";
    EXPECT_TRUE(PlatformWindowAlive(MainWindow));
    // Closed at game over, nothing comes back.
    Send(MakeEvent(EVENT_CLOSE));
    EXPECT_FALSE(Exists(game));

    // A game that ends below the record does not save the settings then.
    SettingsValues record{1, 500, {0, 0, 1, 0}, 1};
    Bytes file(36);
    EncodeSettings(record, file.data());
    WriteAll(settings, file);
    StartPlaying();
    ASSERT_EQ(Board.HighScore, 500);
    std::remove(settings.c_str()); // so that a save would show
    for (int32_t row = 2; row < BoardRows; ++row)
        BoardCell(3, row) = static_cast<uint8_t>(row % 2 == 0 ? ARROW_LEFT : ARROW_RIGHT);
    DropPair();
    ASSERT_EQ(Flow.Mode, MODE_GAMEOVER);
    Tick(3);
    EXPECT_FALSE(Exists(settings));
}

// A kept game the game could not throw away once it ends (its folder made
// read-only) would come back at every start however it ended: it is not
// offered, and one line says why. A save that fails says so too.
TEST_F(KeptGameTest, AGameThatCannotBeThrownAwayIsNotOfferedAndFailuresAreSaid) {
    StartPlaying();
    DropPair();
    Send(MakeEvent(EVENT_CLOSE)); // kept, as at a signal
    ASSERT_TRUE(Exists(game));
    const std::string saidIn = MakeScratchFolder("vantle-kept-said");
    const std::string said = saidIn + "/stderr";
    ASSERT_EQ(chmod(saidIn.c_str(), 0777), 0);
    ASSERT_EQ(chmod(dir.c_str(), 0500), 0);
    const int status = InChild([&] {
        // Root may write any folder: the game runs as an ordinary user.
        if (geteuid() == 0 &&
            (chown(dir.c_str(), 65534, 65534) != 0 || chown(game.c_str(), 65534, 65534) != 0 ||
             chown(settings.c_str(), 65534, 65534) != 0 || setgid(65534) != 0 ||
             setuid(65534) != 0))
            return 3;
        if (std::freopen(said.c_str(), "w", stderr) == nullptr) return 4;
        Start();
        if (Flow.Mode != MODE_TITLE) return 1;
        Tick(3);
        Press(VK_RETURN);
        DropPair(); // a checkpoint the folder refuses
        return 0;
    });
    chmod(dir.c_str(), 0700);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the kept game was offered";
    const Bytes text = ReadAll(said);
    const std::string lines(text.begin(), text.end());
    EXPECT_NE(lines.find("vantle: the game kept in " + game + " cannot be removed"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("vantle: cannot save " + game + ": Permission denied"), std::string::npos)
        << lines;
    RemoveScratchFolder(saidIn);
}

TEST_F(KeptGameTest, AKeptGameComesBackPausedWithThePictureOfTheGamePausedBySpace) {
    StartPlaying();
    DropPair();
    Press(VK_RIGHT);
    Tick(4);
    // Kept as a signal would keep it now; then the same game goes on
    // uninterrupted, Space pressed on the next tick, drawn piece by piece.
    ASSERT_TRUE(SaveGame());
    Send(KeyEvent(EVENT_KEY_DOWN, VK_SPACE));
    Tick();
    Send(KeyEvent(EVENT_KEY_UP, VK_SPACE));
    const Bytes uninterrupted = Picture();

    Start();
    ASSERT_EQ(Flow.Mode, MODE_PLAY) << "no title: the game at once";
    EXPECT_EQ(Flow.FallStep, 0);
    EXPECT_EQ(ButtonState(BUTTON_PAUSE), 1);
    EXPECT_EQ(Picture(), uninterrupted) << "drawn whole from the state, the same picture";
    const int32_t row = Board.Pair.PairRow;
    Tick(40);
    EXPECT_EQ(Board.Pair.PairRow, row) << "it waits for Space";
    Press(VK_SPACE);
    Tick(30);
    EXPECT_GT(Board.Pair.PairRow, row) << "Space goes on";
}

TEST_F(KeptGameTest, ADamagedOrForeignFileGivesTheTitleAndIsReplacedAtTheNextSave) {
    const Bytes bad[] = {Bytes{}, Bytes(SnapshotSize, 0), Bytes{'V', 'S', 'A', 'V', 2, 0, 0, 0}};
    for (const Bytes& b : bad) {
        WriteAll(game, b);
        Start();
        Tick(2);
        EXPECT_EQ(Flow.Mode, MODE_TITLE);
        Press(VK_RETURN);
        const Bytes now = ReadAll(game);
        ASSERT_EQ(now.size(), static_cast<size_t>(SnapshotSize));
        EXPECT_EQ(Word(now, AtMode), MODE_PLAY);
    }
    // Something that is no file in its place is left alone, and the game plays.
    std::remove(game.c_str());
    ASSERT_EQ(mkdir(game.c_str(), 0700), 0);
    StartPlaying();
    DropPair();
    Send(MakeEvent(EVENT_CLOSE));
    struct stat info {};
    EXPECT_TRUE(stat(game.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
    rmdir(game.c_str());
}
} // namespace
