// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "shell/settings.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> Words(std::initializer_list<int32_t> words) {
    std::vector<uint8_t> bytes;
    for (int32_t w : words)
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(w) >> (8 * i)));
    return bytes;
}

class SettingsTest : public ::testing::Test {
  protected:
    std::string dir, path;

    void SetUp() override {
        dir = MakeScratchFolder("vantle-settings");
        ASSERT_FALSE(dir.empty());
        path = dir + "/vantle.dat";
        SetSettingsPath(path.c_str());
        Initial();
    }
    void TearDown() override { RemoveScratchFolder(dir); }

    // Every value as it is before any load.
    static void Initial() { ResetGame(); }

    void Write(const std::vector<uint8_t>& bytes) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    std::vector<uint8_t> Read() const {
        std::vector<uint8_t> bytes;
        FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr) return bytes;
        for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
        return bytes;
    }

    // The seven values, in the file's order.
    static std::vector<int32_t> Values() {
        return {Buttons.Table[BUTTON_SOUND].state,
                Board.HighScore,
                Flow.KeyRepeat[0],
                Flow.KeyRepeat[1],
                Flow.KeyRepeat[2],
                Flow.KeyRepeat[3],
                Buttons.Table[BUTTON_HIDDEN].state};
    }

    int FilesInDir() const {
        int n = 0;
        DIR* d = opendir(dir.c_str());
        while (dirent* e = readdir(d)) n += e->d_name[0] != '.';
        closedir(d);
        return n;
    }
};

const std::vector<int32_t> Defaults = {1, 0, 0, 0, 1, 0, 1};
const std::vector<int32_t> Untouched = {0, 0, 0, 0, 0, 0, 0};

TEST_F(SettingsTest, AFirstStartGivesTheDefaultsAndSavesThem) {
    LoadSettings();
    EXPECT_EQ(Values(), Defaults);
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(Read(), Words({86, 65, 1, 0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(FilesInDir(), 1) << "no temporary file is left behind";
}

TEST_F(SettingsTest, AWholeFileGivesItsValuesAndTheyGoBackUnchanged) {
    const auto bytes = Words({86, 65, 5, 12345, 1, 0, 0, 1, -7});
    Write(bytes);
    LoadSettings();
    EXPECT_EQ(Values(), (std::vector<int32_t>{5, 12345, 1, 0, 0, 1, -7}));
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(Read(), bytes);

    // A longer file gives its first 36 bytes.
    auto longer = Words({86, 65, 1, 99, 0, 1, 0, 0, 1});
    longer.push_back(0xEE);
    Write(longer);
    Initial();
    LoadSettings();
    EXPECT_EQ(Values(), (std::vector<int32_t>{1, 99, 0, 1, 0, 0, 1}));
}

TEST_F(SettingsTest, ShortEmptyOrForeignFilesGiveNothing) {
    auto full = Words({86, 65, 1, 777, 1, 1, 1, 1, 1});
    const std::vector<std::vector<uint8_t>> bad = {
        {},                                                   // empty
        std::vector<uint8_t>(full.begin(), full.begin() + 8), // the magic alone
        std::vector<uint8_t>(full.begin(), full.end() - 1),   // 35 bytes
        Words({86, 66, 1, 777, 1, 1, 1, 1, 1}),               // wrong magic
        Words({65, 86, 1, 777, 1, 1, 1, 1, 1}),               // magic words swapped
    };
    for (const auto& bytes : bad) {
        Write(bytes);
        Initial();
        LoadSettings();
        EXPECT_EQ(Values(), Untouched) << bytes.size() << " bytes";
    }
    // The file is rewritten with what the game holds at exit.
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(Read(), Words({86, 65, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SettingsTest, ADirectoryInThePlaceOfTheFileIsLeftAlone) {
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    LoadSettings();
    EXPECT_EQ(Values(), Defaults);
    EXPECT_FALSE(SaveSettings());
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(FilesInDir(), 1);
}

TEST_F(SettingsTest, AFolderThatCannotBeWrittenKeepsTheOldFile) {
    const auto bytes = Words({86, 65, 1, 4242, 0, 0, 1, 0, 1});
    Write(bytes);
    LoadSettings();
    Board.HighScore = 5000;
    std::string unwritable;
    if (geteuid() == 0) {
        // Root writes anywhere; a folder below a plain file fails for all.
        SetSettingsPath((path + "/vantle.dat").c_str());
        EXPECT_FALSE(SaveSettings());
    } else {
        ASSERT_EQ(chmod(dir.c_str(), 0500), 0);
        EXPECT_FALSE(SaveSettings());
        chmod(dir.c_str(), 0700);
    }
    EXPECT_EQ(Read(), bytes) << "what was whole before is whole after";
    EXPECT_EQ(FilesInDir(), 1);
}

TEST_F(SettingsTest, AReadOnlyFileStillGivesItsValues) {
    Write(Words({86, 65, 1, 31337, 0, 0, 1, 0, 1}));
    ASSERT_EQ(chmod(path.c_str(), 0400), 0);
    LoadSettings();
    EXPECT_EQ(Board.HighScore, 31337);
}

TEST_F(SettingsTest, TwoCopiesAtOnceKeepTheHigherHighScore) {
    Write(Words({86, 65, 1, 100, 0, 0, 1, 0, 1}));
    LoadSettings();
    // Meanwhile another copy of the game, started from the same file, ends
    // with a high score of 500 and other choices, and saves.
    Write(Words({86, 65, 0, 500, 1, 1, 1, 1, 0}));
    // This copy ends with 300: the file keeps 500, and this copy's choices.
    Board.HighScore = 300;
    Flow.KeyRepeat[REPEAT_LEFT] = 1;
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(Read(), Words({86, 65, 1, 500, 0, 1, 1, 0, 1}));
    // A better score of its own is saved as it is.
    Board.HighScore = 900;
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(Read(), Words({86, 65, 1, 900, 0, 1, 1, 0, 1}));
    // A file that holds no settings gives no high score.
    Write(Words({86, 66, 1, 5000, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(Read(), Words({86, 65, 1, 900, 0, 1, 1, 0, 1}));
}

TEST_F(SettingsTest, AReadOnlyFileIsNeitherReplacedNorLost) {
    const auto bytes = Words({86, 65, 1, 31337, 0, 0, 1, 0, 1});
    Write(bytes);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    // The folder stays writable, so renaming a new file over the old one
    // would work: the file's own permission must be asked. Root may write
    // any file, so the save runs as an ordinary user that owns both.
    const int status = InChild([this] {
        if (geteuid() == 0 &&
            (chown(dir.c_str(), 65534, 65534) != 0 || chown(path.c_str(), 65534, 65534) != 0 ||
             setgid(65534) != 0 || setuid(65534) != 0))
            return 3;
        LoadSettings();
        if (Board.HighScore != 31337) return 4;
        Board.HighScore = 40000;
        return SaveSettings() ? 1 : 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save must report that nothing was saved";
    EXPECT_EQ(Read(), bytes);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    EXPECT_EQ(FilesInDir(), 1);
}

TEST_F(SettingsTest, WithoutAPlaceForTheFileNothingIsReadOrSaved) {
    // The current folder holds a file of the same name, which must not be
    // taken for the settings.
    const auto bytes = Words({86, 65, 0, 777, 1, 1, 1, 1, 0});
    Write(bytes);
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    for (const std::string& none : {std::string(), std::string(5000, 'a')}) {
        SetSettingsPath(none.c_str());
        Initial();
        LoadSettings();
        EXPECT_EQ(Values(), Defaults) << none.size();
        EXPECT_FALSE(SaveSettings()) << none.size();
    }
    EXPECT_EQ(chdir(here), 0);
    EXPECT_EQ(Read(), bytes);
    EXPECT_EQ(FilesInDir(), 1);
}

} // namespace
