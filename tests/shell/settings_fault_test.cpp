// Saving the settings when the system fails part-way: a disk that fills up
// in the middle of the write, and a game killed at any moment of a save. The
// file on disk must always be the old one or a new one, whole.
#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

class SettingsFaults : public ::testing::Test {
  protected:
    std::string dir, path;

    void SetUp() override {
        char name[] = "/tmp/vantle-faults-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        path = dir + "/vantle.dat";
        SetSettingsPath(path.c_str());
        ResetBoardModule();
        ResetButtons();
        ResetGameFlow();
    }
    void TearDown() override {
        [[maybe_unused]] const int status = std::system(("rm -rf '" + dir + "'").c_str());
    }

    std::vector<uint8_t> Read() const {
        std::vector<uint8_t> bytes;
        FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr) return bytes;
        for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
        return bytes;
    }

    // Names in the folder other than the settings file itself.
    std::vector<std::string> Others() const {
        std::vector<std::string> names;
        DIR* d = opendir(dir.c_str());
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != ".." && name != "vantle.dat") names.push_back(name);
        }
        closedir(d);
        return names;
    }

    // Runs `save` in a child process and returns its exit status.
    template <typename Save> static int InChild(Save save) {
        const pid_t pid = fork();
        if (pid == 0) _exit(save());
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    }
};

// The values every save here writes, but for the high score.
void SetValues(int32_t highScore) {
    ButtonTable[BUTTON_SOUND].state = 1;
    HighScore = highScore;
    KeyRepeat[REPEAT_ROTATION] = 1;
    KeyRepeat[REPEAT_LEFT] = 0;
    KeyRepeat[REPEAT_DROP] = 1;
    KeyRepeat[REPEAT_RIGHT] = 0;
    ButtonTable[BUTTON_NINTH].state = 1;
}

TEST_F(SettingsFaults, AFullDiskMidSaveLeavesTheOldFileAsItWas) {
    SetValues(4242);
    ASSERT_TRUE(SaveSettings());
    const std::vector<uint8_t> old = Read();
    ASSERT_EQ(old.size(), 36u);

    // The file-size limit stands in for a full disk: writes stop at `limit`
    // bytes, the rest fails (with the signal it raises ignored, as a full
    // disk raises none).
    for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{8}, rlim_t{35}}) {
        const int status = InChild([limit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{limit, limit};
            if (setrlimit(RLIMIT_FSIZE, &small) != 0) return 3;
            SetValues(9999);
            return SaveSettings() ? 1 : 0;
        });
        ASSERT_TRUE(WIFEXITED(status)) << "limit " << limit;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "limit " << limit << ": the save must report that it failed";
        EXPECT_EQ(Read(), old) << "limit " << limit << ": the old file must be intact";
        EXPECT_TRUE(Others().empty()) << "limit " << limit << ": the half-written file is removed";
    }

    // With room again the next save goes through.
    SetValues(9999);
    EXPECT_TRUE(SaveSettings());
    LoadSettings();
    EXPECT_EQ(HighScore, 9999);
}

TEST_F(SettingsFaults, AGameKilledMidSaveLeavesAWholeFile) {
    SetValues(1000);
    ASSERT_TRUE(SaveSettings());
    int32_t last = 1000;
    int strays = 0;
    // Each round a child saves again and again, high scores 1000000 * round
    // + 1, + 2, ..., until it is killed at a moment that varies from round
    // to round, before its first save, between, or inside one.
    constexpr int Rounds = 150;
    for (int round = 1; round <= Rounds; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int32_t k = 1; k < 1000000; ++k) {
                SetValues(1000000 * round + k);
                SaveSettings();
            }
            _exit(0);
        }
        usleep(static_cast<useconds_t>((round * 7919) % 4000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);

        const std::vector<uint8_t> bytes = Read();
        ASSERT_EQ(bytes.size(), 36u) << "round " << round;
        SettingsValues v{};
        ASSERT_TRUE(DecodeSettings(bytes.data(), bytes.size(), &v)) << "round " << round << ": magic";
        // The old file, or one this round saved.
        const bool old = v.HighScore == last;
        const bool saved = v.HighScore / 1000000 == round && v.HighScore % 1000000 != 0;
        ASSERT_TRUE(old || saved) << "round " << round << ": high score " << v.HighScore << ", before " << last;
        EXPECT_EQ(v.Sound, 1);
        EXPECT_EQ(v.KeyRepeat[0], 1);
        EXPECT_EQ(v.KeyRepeat[1], 0);
        EXPECT_EQ(v.KeyRepeat[2], 1);
        EXPECT_EQ(v.KeyRepeat[3], 0);
        EXPECT_EQ(v.Ninth, 1);
        last = v.HighScore;

        // A save killed between making its new file and renaming it leaves
        // that file behind, never taken for the settings; there is never more
        // than the one, which the next save reuses.
        const std::vector<std::string> others = Others();
        ASSERT_LE(others.size(), 1u) << "round " << round;
        for (const std::string& name : others) EXPECT_EQ(name, "vantle.dat.new");
        strays += static_cast<int>(others.size());
    }
    RecordProperty("rounds_with_a_stray_file", strays);
}

} // namespace
