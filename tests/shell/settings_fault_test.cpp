// SPDX-License-Identifier: GPL-3.0-or-later
// The settings where things other than plain files are in the way: a FIFO
// in the file's place, and links to the file or to something else. Loading
// must never wait, and saving must keep nothing where nothing can be kept.
// How a replace survives a full disk, a kill or a signal part-way is the
// file service's own concern (tests/platform/files_test.cpp).
#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "shell/settings.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

class SettingsFaults : public ::testing::Test {
  protected:
    std::string dir, path;

    void SetUp() override {
        dir = MakeScratchFolder("vantle-faults");
        ASSERT_FALSE(dir.empty());
        path = dir + "/vantle.dat";
        SetSettingsPath(path.c_str());
        ResetGame();
    }
    void TearDown() override { RemoveScratchFolder(dir); }

    // Names in the folder other than vantle.dat itself.
    std::vector<std::string> Others() const { return NamesIn(dir, "vantle.dat"); }
};

// The values every save here writes, but for the high score.
void SetValues(int32_t highScore) {
    Buttons.Table[BUTTON_SOUND].state = 1;
    Board.HighScore = highScore;
    Flow.KeyRepeat[REPEAT_ROTATION] = 1;
    Flow.KeyRepeat[REPEAT_LEFT] = 0;
    Flow.KeyRepeat[REPEAT_DROP] = 1;
    Flow.KeyRepeat[REPEAT_RIGHT] = 0;
    Buttons.Table[BUTTON_HIDDEN].state = 1;
}

// Whether `path` is a FIFO, a folder, a link.
bool IsKind(const std::string& path, mode_t kind) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

TEST_F(SettingsFaults, AFifoInThePlaceOfTheFileIsNotWaitedOn) {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    const int status = InChild([] {
        LoadSettings();
        if (Board.HighScore != 0 || Flow.KeyRepeat[REPEAT_DROP] != 1) return 2; // the defaults
        return SaveSettings() ? 1 : 0;
    });
    ASSERT_TRUE(WIFEXITED(status)) << "the game waited on the FIFO";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "nothing is saved in a FIFO's place";
    EXPECT_TRUE(IsKind(path, S_IFIFO)) << "the FIFO is left as it was";
    EXPECT_TRUE(Others().empty());
}

TEST_F(SettingsFaults, ALinkedFileIsUpdatedWhereItLives) {
    // vantle.dat -> kept/link.dat -> real.dat, both links relative to the
    // folder they are in.
    ASSERT_EQ(mkdir((dir + "/kept").c_str(), 0700), 0);
    const std::string real = dir + "/kept/real.dat";
    ASSERT_EQ(symlink("real.dat", (dir + "/kept/link.dat").c_str()), 0);
    ASSERT_EQ(symlink("kept/link.dat", path.c_str()), 0);
    SetValues(1234);
    ASSERT_TRUE(SaveSettings()) << "a link to no file yet: the file is made where it points";
    SetValues(5678);
    ASSERT_TRUE(SaveSettings());
    EXPECT_TRUE(IsKind(path, S_IFLNK));
    EXPECT_TRUE(IsKind(dir + "/kept/link.dat", S_IFLNK));
    ASSERT_TRUE(IsKind(real, S_IFREG));
    LoadSettings();
    EXPECT_EQ(Board.HighScore, 5678);
    EXPECT_FALSE(IsKind(dir + "/kept/real.dat.new", S_IFREG));
    EXPECT_EQ(Others(), std::vector<std::string>{"kept"});
    // The high score kept is the higher of ours and the linked file's.
    SetValues(10);
    ASSERT_TRUE(SaveSettings());
    LoadSettings();
    EXPECT_EQ(Board.HighScore, 5678);

    // A link to something that is no file (a FIFO here; a link to /dev/null
    // alike) keeps nothing and is left alone.
    ASSERT_EQ(unlink(real.c_str()), 0);
    ASSERT_EQ(mkfifo(real.c_str(), 0600), 0);
    const int status = InChild([] {
        LoadSettings();
        return SaveSettings() ? 1 : 0;
    });
    ASSERT_TRUE(WIFEXITED(status)) << "the game waited on the FIFO";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(IsKind(real, S_IFIFO));
    EXPECT_TRUE(IsKind(path, S_IFLNK));

    // Links that go round in circles save nothing.
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_EQ(symlink("vantle.dat", path.c_str()), 0);
    EXPECT_FALSE(SaveSettings());
    EXPECT_TRUE(IsKind(path, S_IFLNK));
}

} // namespace
