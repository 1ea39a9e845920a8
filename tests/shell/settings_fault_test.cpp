// SPDX-License-Identifier: GPL-3.0-or-later
// Saving the settings when the system fails part-way: a disk that fills up
// in the middle of the write, a game killed or interrupted at any moment of a
// save, and things other than plain files where the game's files go. The
// file on disk must always be the old one or a new one, whole, and nothing
// may make the game wait forever.
#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
// What the system's fsync was asked to sync: the game's settings file is
// read at the moment its folder is synced, to see that the rename came first.
std::atomic<int> FolderSyncs{0};
const char* WatchedFile = nullptr;
int32_t HighScoreAtFolderSync = -1;
} // namespace

// Stands in for the C library's fsync in this program, counting the folders
// synced, and then syncs as the library would.
extern "C" int fsync(int fd) {
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ++FolderSyncs;
        if (WatchedFile != nullptr) {
            uint8_t bytes[SettingsFileSize] = {};
            FILE* f = std::fopen(WatchedFile, "rb");
            const size_t n = f != nullptr ? std::fread(bytes, 1, sizeof bytes, f) : 0;
            if (f != nullptr) std::fclose(f);
            SettingsValues v{};
            HighScoreAtFolderSync = DecodeSettings(bytes, n, &v) ? v.HighScore : -1;
        }
    }
    return static_cast<int>(syscall(SYS_fsync, fd));
}

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
        ResetGame();
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

    // Runs `save` in a child process and returns its exit status. A child
    // that waits for more than five seconds is stopped by SIGALRM.
    template <typename Save> static int InChild(Save save) {
        const pid_t pid = fork();
        if (pid == 0) {
            alarm(5);
            _exit(save());
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    }
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
    EXPECT_EQ(Board.HighScore, 9999);
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
        EXPECT_EQ(v.Hidden, 1);
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

TEST_F(SettingsFaults, WhateverHoldsTheNewFilesNameIsReplaced) {
    const std::string temp = path + ".new";
    const std::string elsewhere = dir + "/elsewhere";
    const std::vector<std::string> kinds = {"file", "fifo", "folder", "link", "dangling link"};
    int32_t high = 100;
    for (const std::string& kind : kinds) {
        ASSERT_EQ(std::system(("rm -rf '" + temp + "'").c_str()), 0);
        if (kind == "file") {
            ASSERT_EQ(std::system(("printf 'half' > '" + temp + "'").c_str()), 0);
        } else if (kind == "fifo") {
            ASSERT_EQ(mkfifo(temp.c_str(), 0600), 0);
        } else if (kind == "folder") {
            ASSERT_EQ(mkdir(temp.c_str(), 0700), 0);
            ASSERT_EQ(
                std::system(("mkdir '" + temp + "/inner' && touch '" + temp + "/inner/x'").c_str()),
                0);
        } else {
            ASSERT_EQ(std::system(("printf 'keep' > '" + elsewhere + "'").c_str()), 0);
            ASSERT_EQ(symlink(kind == "link" ? elsewhere.c_str() : "/nonexistent/x", temp.c_str()),
                      0);
        }
        ++high;
        const int status = InChild([high] {
            SetValues(high);
            return SaveSettings() ? 0 : 1;
        });
        ASSERT_TRUE(WIFEXITED(status)) << kind << ": the save waited";
        EXPECT_EQ(WEXITSTATUS(status), 0) << kind << ": the save failed";
        LoadSettings();
        EXPECT_EQ(Board.HighScore, high) << kind;
        EXPECT_FALSE(IsKind(temp, S_IFREG) || IsKind(temp, S_IFDIR) || IsKind(temp, S_IFIFO) ||
                     IsKind(temp, S_IFLNK))
            << kind << ": left behind";
        if (kind == "link") {
            const std::vector<uint8_t> kept = [&] {
                std::vector<uint8_t> b;
                FILE* f = std::fopen(elsewhere.c_str(), "rb");
                for (int c; f != nullptr && (c = std::fgetc(f)) != EOF;)
                    b.push_back(static_cast<uint8_t>(c));
                if (f != nullptr) std::fclose(f);
                return b;
            }();
            EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep")
                << "the link's target is not written";
        }
        unlink(elsewhere.c_str());
    }
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

TEST_F(SettingsFaults, TheFolderIsSyncedOnceTheNewFileIsInPlace) {
    SetValues(1);
    ASSERT_TRUE(SaveSettings());
    WatchedFile = path.c_str();
    FolderSyncs = 0;
    SetValues(777);
    const bool saved = SaveSettings();
    WatchedFile = nullptr;
    ASSERT_TRUE(saved);
    EXPECT_GE(FolderSyncs.load(), 1) << "the rename must reach the disk";
    EXPECT_EQ(HighScoreAtFolderSync, 777) << "the folder is synced after the rename";
}

void Interrupted(int) {}

TEST_F(SettingsFaults, SignalsDuringASaveLeaveAWholeFile) {
    SetValues(1);
    ASSERT_TRUE(SaveSettings());
    // A signal every 100 microseconds of real time, with a handler that
    // lets calls fail with EINTR rather than restart (as a second SIGTERM
    // may, arriving while the first one's save runs): every save must
    // still go through.
    const int status = InChild([this] {
        struct sigaction action {};
        action.sa_handler = Interrupted;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        sigaction(SIGUSR1, &action, nullptr);
        sigevent event{};
        event.sigev_notify = SIGEV_SIGNAL;
        event.sigev_signo = SIGUSR1;
        timer_t timer{};
        if (timer_create(CLOCK_MONOTONIC, &event, &timer) != 0) return 12;
        const itimerspec often{{0, 100000}, {0, 100000}};
        timer_settime(timer, 0, &often, nullptr);
        for (int32_t k = 2; k < 150; ++k) {
            SetValues(k);
            if (!SaveSettings()) return 10;
            SettingsValues v{};
            const std::vector<uint8_t> bytes = Read();
            if (!DecodeSettings(bytes.data(), bytes.size(), &v) || v.HighScore != k) return 11;
        }
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Others().empty());
}

} // namespace
