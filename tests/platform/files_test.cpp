// SPDX-License-Identifier: GPL-3.0-or-later
// The player's small files: reading never waits on what is in a file's
// place, and a replace leaves the old file or the new one, whole, whatever
// the system does part-way: a disk that fills up in the middle of the write,
// a program killed or interrupted at any moment, things other than plain
// files where the files go, and links on the way.
#include "platform/files.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
// What the system's fsync was asked to sync: the watched file is read at
// the moment its folder is synced, to see that the rename came first.
std::atomic<int> FolderSyncs{0};
const char* WatchedFile = nullptr;
std::string ContentAtFolderSync;
// While set, every sync and rename in the order they came.
bool Recording = false;
std::vector<std::string> Steps;

std::string PathOf(int fd) {
    char link[64], path[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string("?");
}
} // namespace

// Stands in for the C library's fsync in this program, counting the folders
// synced, and then syncs as the library would.
extern "C" int fsync(int fd) {
    if (Recording) Steps.push_back("sync " + PathOf(fd));
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ++FolderSyncs;
        if (WatchedFile != nullptr) {
            char bytes[64] = {};
            FILE* f = std::fopen(WatchedFile, "rb");
            const size_t n = f != nullptr ? std::fread(bytes, 1, sizeof bytes, f) : 0;
            if (f != nullptr) std::fclose(f);
            ContentAtFolderSync.assign(bytes, n);
        }
    }
    return static_cast<int>(syscall(SYS_fsync, fd));
}

// And for its rename, written down when recording.
extern "C" int rename(const char* from, const char* to) {
    if (Recording) Steps.push_back(std::string("rename ") + from + " " + to);
    return static_cast<int>(syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A record of nine copies of one 32-bit number: whole only when all nine
// are there and agree.
std::vector<uint8_t> Record(uint32_t k) {
    std::vector<uint8_t> bytes;
    for (int word = 0; word < 9; ++word)
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(k >> (8 * i)));
    return bytes;
}

// The number of a whole record, or -1.
int64_t RecordNumber(const std::vector<uint8_t>& bytes) {
    if (bytes.size() != 36) return -1;
    for (size_t i = 4; i < 36; ++i)
        if (bytes[i] != bytes[i % 4]) return -1;
    return static_cast<int64_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                static_cast<uint32_t>(bytes[3]) << 24);
}

bool Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    return FileSave(path.c_str(), bytes.data(), static_cast<int32_t>(bytes.size()));
}

// Whether `path` is a FIFO, a folder, a link (not followed).
bool IsKind(const std::string& path, mode_t kind) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

class Files : public ::testing::Test {
  protected:
    std::string dir, path;

    void SetUp() override {
        dir = MakeScratchFolder("vantle-files");
        ASSERT_FALSE(dir.empty());
        path = dir + "/vantle.dat";
    }
    void TearDown() override { RemoveScratchFolder(dir); }

    static std::vector<uint8_t> Read(const std::string& file) {
        std::vector<uint8_t> bytes;
        FILE* f = std::fopen(file.c_str(), "rb");
        if (f == nullptr) return bytes;
        for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
        return bytes;
    }
    std::vector<uint8_t> Read() const { return Read(path); }

    static void Write(const std::string& file, const std::string& text) {
        FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!text.empty()) std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }

    // Names in the folder other than vantle.dat itself.
    std::vector<std::string> Others() const { return NamesIn(dir, "vantle.dat"); }
};

TEST_F(Files, AReadGivesTheFilesFirstBytesHoweverLongItIs) {
    uint8_t buffer[8] = {};
    EXPECT_EQ(FileRead(path.c_str(), buffer, sizeof buffer), FILE_NONE) << "missing";

    Write(path, "");
    EXPECT_EQ(FileRead(path.c_str(), buffer, sizeof buffer), 0) << "empty";

    Write(path, "abc");
    std::memset(buffer, 'x', sizeof buffer);
    ASSERT_EQ(FileRead(path.c_str(), buffer, sizeof buffer), 3) << "shorter than the buffer";
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "abcx") << "nothing past the file";

    Write(path, "0123456789");
    ASSERT_EQ(FileRead(path.c_str(), buffer, sizeof buffer), 8) << "longer than the buffer";
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 8), "01234567");
    EXPECT_EQ(FileRead(path.c_str(), buffer, 0), 0);

    // Through a link, and read-only.
    ASSERT_EQ(symlink("vantle.dat", (dir + "/link").c_str()), 0);
    ASSERT_EQ(chmod(path.c_str(), 0400), 0);
    ASSERT_EQ(FileRead((dir + "/link").c_str(), buffer, 2), 2);
    EXPECT_EQ(buffer[0], '0');
    EXPECT_EQ(buffer[1], '1');
}

TEST_F(Files, WhatIsNoRegularFileIsRefusedWithoutWaiting) {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    const std::string folder = dir + "/folder";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const std::string toFifo = dir + "/to-fifo";
    ASSERT_EQ(symlink(path.c_str(), toFifo.c_str()), 0);
    // A FIFO with no writer would hold a plain open forever; a device
    // would give endless bytes (/dev/zero) or none (/dev/null).
    const int status = InChild([&] {
        uint8_t buffer[16];
        for (const std::string& name :
             {path, toFifo, folder, std::string("/dev/zero"), std::string("/dev/null")})
            if (FileRead(name.c_str(), buffer, sizeof buffer) != FILE_NONE) return 1;
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status)) << "the read waited";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "something that is no regular file was read";
    EXPECT_TRUE(IsKind(path, S_IFIFO));
}

TEST_F(Files, ASaveMakesOrReplacesTheFileWholeAndLeavesNothingElse) {
    ASSERT_TRUE(Save(path, Bytes("first, and longer")));
    EXPECT_EQ(Read(), Bytes("first, and longer"));
    ASSERT_TRUE(Save(path, Bytes("second")));
    EXPECT_EQ(Read(), Bytes("second")) << "nothing of the old file is left at its end";
    ASSERT_TRUE(Save(path, {}));
    EXPECT_TRUE(Read().empty());
    EXPECT_TRUE(Others().empty()) << "no new file is left behind";

    // The replacement keeps the old file's permissions, whatever the umask
    // takes away from a new file's.
    ASSERT_EQ(chmod(path.c_str(), 0660), 0);
    const mode_t mask = umask(027);
    const bool saved = Save(path, Bytes("kept for the group"));
    umask(mask);
    ASSERT_TRUE(saved);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0660u);

    // The target says what is there.
    FileTarget target{};
    ASSERT_TRUE(FileFindTarget(path.c_str(), &target));
    EXPECT_STREQ(target.path, path.c_str());
    EXPECT_TRUE(target.exists);
    EXPECT_EQ(target.mode, 0660u);
    const std::string fresh = dir + "/fresh";
    ASSERT_TRUE(FileFindTarget(fresh.c_str(), &target));
    EXPECT_FALSE(target.exists);
    EXPECT_EQ(target.mode, 0644u);
    const uint8_t one[] = {1};
    ASSERT_TRUE(FileReplace(target, one, 1));
    EXPECT_EQ(Read(fresh), std::vector<uint8_t>{1});
    EXPECT_FALSE(Exists(fresh + ".new"));

    // No name, or a name too long, is no file.
    EXPECT_FALSE(FileFindTarget("", &target));
    EXPECT_FALSE(FileFindTarget(nullptr, &target));
    EXPECT_FALSE(FileFindTarget((dir + "/" + std::string(5000, 'a')).c_str(), &target));
}

TEST_F(Files, AReadOnlyFileOrOneThatIsNoFileIsLeftAlone) {
    Write(path, "kept");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    // The folder stays writable, so renaming a new file over the old one
    // would work: the file's own permission must be asked. Root may write
    // any file, so the save runs as an ordinary user that owns both.
    const int status = InChild([&] {
        if (geteuid() == 0 &&
            (chown(dir.c_str(), 65534, 65534) != 0 || chown(path.c_str(), 65534, 65534) != 0 ||
             setgid(65534) != 0 || setuid(65534) != 0))
            return 3;
        FileTarget target{};
        if (FileFindTarget(path.c_str(), &target)) return 2;
        return Save(path, Bytes("lost")) ? 1 : 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save must report that nothing was saved";
    EXPECT_EQ(Read(), Bytes("kept"));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    EXPECT_TRUE(Others().empty());

    // A folder, a FIFO, a link to a device: nothing is written, nothing waits.
    const std::string folder = dir + "/folder", fifo = dir + "/fifo", null = dir + "/null";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/null", null.c_str()), 0);
    const int others = InChild([&] {
        int saved = 0;
        for (const std::string& name : {folder, fifo, null}) saved += Save(name, Bytes("x"));
        return saved;
    });
    ASSERT_TRUE(WIFEXITED(others)) << "a save waited";
    EXPECT_EQ(WEXITSTATUS(others), 0);
    EXPECT_TRUE(IsKind(folder, S_IFDIR));
    EXPECT_TRUE(IsKind(fifo, S_IFIFO));
    EXPECT_TRUE(IsKind(null, S_IFLNK));
    EXPECT_FALSE(Exists(folder + ".new") || Exists(fifo + ".new") || Exists("/dev/null.new"));

    // A folder that cannot be written keeps the old file (root writes
    // anywhere: a name below a plain file fails for all).
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    if (geteuid() == 0) {
        EXPECT_FALSE(Save(path + "/below", Bytes("lost")));
    } else {
        ASSERT_EQ(chmod(dir.c_str(), 0500), 0);
        EXPECT_FALSE(Save(path, Bytes("lost")));
        chmod(dir.c_str(), 0700);
    }
    EXPECT_EQ(Read(), Bytes("kept"));
}

TEST_F(Files, ALinkedFileIsReplacedWhereItLives) {
    // vantle.dat -> kept/link.dat -> real.dat, both links relative to the
    // folder they are in.
    ASSERT_EQ(mkdir((dir + "/kept").c_str(), 0700), 0);
    const std::string real = dir + "/kept/real.dat";
    ASSERT_EQ(symlink("real.dat", (dir + "/kept/link.dat").c_str()), 0);
    ASSERT_EQ(symlink("kept/link.dat", path.c_str()), 0);
    FileTarget target{};
    ASSERT_TRUE(FileFindTarget(path.c_str(), &target));
    EXPECT_EQ(std::string(target.path), real);
    EXPECT_FALSE(target.exists);
    ASSERT_TRUE(Save(path, Bytes("one")))
        << "a link to no file yet: the file is made where it points";
    ASSERT_TRUE(Save(path, Bytes("two")));
    EXPECT_TRUE(IsKind(path, S_IFLNK));
    EXPECT_TRUE(IsKind(dir + "/kept/link.dat", S_IFLNK));
    ASSERT_TRUE(IsKind(real, S_IFREG));
    EXPECT_EQ(Read(real), Bytes("two"));
    EXPECT_FALSE(Exists(real + ".new"));
    EXPECT_EQ(Others(), std::vector<std::string>{"kept"});

    // An absolute link.
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_EQ(symlink(real.c_str(), path.c_str()), 0);
    ASSERT_TRUE(Save(path, Bytes("three")));
    EXPECT_EQ(Read(real), Bytes("three"));
    EXPECT_TRUE(IsKind(path, S_IFLNK));

    // Links that go round in circles save nothing.
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_EQ(symlink("vantle.dat", path.c_str()), 0);
    EXPECT_FALSE(Save(path, Bytes("lost")));
    EXPECT_TRUE(IsKind(path, S_IFLNK));
}

TEST_F(Files, AChainOfFortyLinksIsFollowedAndOneMoreIsNot) {
    // link0 -> link1 -> ... -> link<n-1> -> end
    const auto chain = [&](int links) {
        for (int i = 0; i < links; ++i) {
            const std::string to = i + 1 < links ? "link" + std::to_string(i + 1) : "end";
            const std::string name = dir + "/link" + std::to_string(i);
            unlink(name.c_str());
            EXPECT_EQ(symlink(to.c_str(), name.c_str()), 0);
        }
    };
    const std::string first = dir + "/link0", end = dir + "/end";
    chain(40);
    ASSERT_TRUE(Save(first, Bytes("far")));
    EXPECT_EQ(Read(end), Bytes("far"));
    ASSERT_EQ(unlink(end.c_str()), 0);
    chain(41);
    EXPECT_FALSE(Save(first, Bytes("too far")));
    EXPECT_FALSE(Exists(end));
}

TEST_F(Files, WhateverHoldsTheNewFilesNameIsReplaced) {
    const std::string temp = path + ".new";
    const std::string elsewhere = dir + "/elsewhere";
    const std::vector<std::string> kinds = {"file", "fifo", "folder", "link", "dangling link"};
    uint32_t k = 100;
    for (const std::string& kind : kinds) {
        ASSERT_EQ(std::system(("rm -rf '" + temp + "'").c_str()), 0);
        if (kind == "file") {
            Write(temp, "half");
        } else if (kind == "fifo") {
            ASSERT_EQ(mkfifo(temp.c_str(), 0600), 0);
        } else if (kind == "folder") {
            ASSERT_EQ(mkdir(temp.c_str(), 0700), 0);
            std::string command = "mkdir '" + temp + "/inner'";
            command += " && touch '" + temp + "/inner/x'";
            ASSERT_EQ(std::system(command.c_str()), 0);
        } else {
            Write(elsewhere, "keep");
            ASSERT_EQ(symlink(kind == "link" ? elsewhere.c_str() : "/nonexistent/x", temp.c_str()),
                      0);
        }
        ++k;
        const int status = InChild([&] { return Save(path, Record(k)) ? 0 : 1; });
        ASSERT_TRUE(WIFEXITED(status)) << kind << ": the save waited";
        EXPECT_EQ(WEXITSTATUS(status), 0) << kind << ": the save failed";
        EXPECT_EQ(RecordNumber(Read()), k) << kind;
        EXPECT_FALSE(Exists(temp)) << kind << ": left behind";
        if (kind == "link") {
            EXPECT_EQ(Read(elsewhere), Bytes("keep")) << "the link's target is not written";
        }
        unlink(elsewhere.c_str());
    }
}

TEST_F(Files, AFullDiskMidSaveLeavesTheOldFileAsItWas) {
    ASSERT_TRUE(Save(path, Record(4242)));
    const std::vector<uint8_t> old = Read();

    // The file-size limit stands in for a full disk: writes stop at `limit`
    // bytes, the rest fails (with the signal it raises ignored, as a full
    // disk raises none).
    for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{8}, rlim_t{35}}) {
        const int full = InChild([&, limit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{limit, limit};
            if (setrlimit(RLIMIT_FSIZE, &small) != 0) return 3;
            return Save(path, Record(9999)) ? 1 : 0;
        });
        ASSERT_TRUE(WIFEXITED(full)) << "limit " << limit;
        EXPECT_EQ(WEXITSTATUS(full), 0)
            << "limit " << limit << ": the save must report that it failed";
        EXPECT_EQ(Read(), old) << "limit " << limit << ": the old file must be intact";
        EXPECT_TRUE(Others().empty()) << "limit " << limit << ": the half-written file is removed";
    }

    // With room again the next save goes through.
    EXPECT_TRUE(Save(path, Record(9999)));
    EXPECT_EQ(RecordNumber(Read()), 9999);
}

TEST_F(Files, AProgramKilledMidSaveLeavesAWholeFile) {
    ASSERT_TRUE(Save(path, Record(1000)));
    int64_t last = 1000;
    int strays = 0;
    // Each round a child saves again and again, records 1000000 * round + 1,
    // + 2, ..., until it is killed at a moment that varies from round to
    // round, before its first save, between, or inside one.
    constexpr int Rounds = 150;
    for (int round = 1; round <= Rounds; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (uint32_t k = 1; k < 1000000; ++k) Save(path, Record(1000000u * round + k));
            _exit(0);
        }
        usleep(static_cast<useconds_t>((round * 7919) % 4000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);

        const int64_t k = RecordNumber(Read());
        ASSERT_GE(k, 0) << "round " << round << ": the file is not whole";
        // The old file, or one this round saved.
        const bool old = k == last;
        const bool saved = k / 1000000 == round && k % 1000000 != 0;
        ASSERT_TRUE(old || saved) << "round " << round << ": record " << k << ", before " << last;
        last = k;

        // A save killed between making its new file and renaming it leaves
        // that file behind, never taken for the file; there is never more
        // than the one, which the next save reuses.
        const std::vector<std::string> others = Others();
        ASSERT_LE(others.size(), 1u) << "round " << round;
        for (const std::string& name : others) EXPECT_EQ(name, "vantle.dat.new");
        strays += static_cast<int>(others.size());
    }
    RecordProperty("rounds_with_a_stray_file", strays);
}

TEST_F(Files, TheFolderIsSyncedOnceTheNewFileIsInPlace) {
    ASSERT_TRUE(Save(path, Bytes("before")));
    WatchedFile = path.c_str();
    FolderSyncs = 0;
    const bool saved = Save(path, Bytes("after"));
    WatchedFile = nullptr;
    ASSERT_TRUE(saved);
    EXPECT_GE(FolderSyncs.load(), 1) << "the rename must reach the disk";
    EXPECT_EQ(ContentAtFolderSync, "after") << "the folder is synced after the rename";
}

void Interrupted(int) {}

TEST_F(Files, SignalsDuringASaveLeaveAWholeFile) {
    ASSERT_TRUE(Save(path, Record(1)));
    // A signal every 100 microseconds of real time, with a handler that
    // lets calls fail with EINTR rather than restart (as a second SIGTERM
    // may, arriving while the first one's save runs): every save and every
    // read must still go through.
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
        for (uint32_t k = 2; k < 150; ++k) {
            if (!Save(path, Record(k))) return 10;
            uint8_t bytes[36];
            if (FileRead(path.c_str(), bytes, sizeof bytes) != 36) return 11;
            if (RecordNumber({bytes, bytes + 36}) != k) return 13;
        }
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Others().empty());
}

// A replace lasts through a power cut only if its steps come in order: the
// new file's bytes synced before it is renamed over the old one, and the
// folder synced after the rename.
TEST(FileReplaceOrder, TheNewFileIsSyncedBeforeItsRenameAndTheFolderAfter) {
    const std::string dir = MakeScratchFolder("vantle-order");
    ASSERT_FALSE(dir.empty());
    const std::string path = dir + "/vantle.dat";
    const uint8_t bytes[4] = {1, 2, 3, 4};
    ASSERT_TRUE(FileSave(path.c_str(), bytes, 4)); // a file to replace
    Steps.clear();
    Recording = true;
    const bool saved = FileSave(path.c_str(), bytes, 4);
    Recording = false;
    ASSERT_TRUE(saved);
    const std::vector<std::string> expected = {"sync " + path + ".new",
                                               "rename " + path + ".new " + path, "sync " + dir};
    EXPECT_EQ(Steps, expected);
    RemoveScratchFolder(dir);
}

} // namespace
