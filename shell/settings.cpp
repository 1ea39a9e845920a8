// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/settings.h"

#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "platform/bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int32_t MagicV = 86, MagicA = 65;
// Empty when there is no file: the defaults at start-up, nothing saved.
char Path[4096] = "vantle.dat";
// How many symbolic links a save follows from the file's name to the file.
constexpr int32_t MaxLinks = 40;

void PutWord(uint8_t* p, int32_t v) { WriteLe32(p, static_cast<uint32_t>(v)); }
int32_t GetWord(const uint8_t* p) { return static_cast<int32_t>(ReadLe32(p)); }

// Reads up to `size` bytes, going on after short reads and interruptions.
ssize_t ReadAll(int fd, uint8_t* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

bool WriteAll(int fd, const uint8_t* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool Sync(int fd) {
    int r;
    while ((r = fsync(fd)) != 0 && errno == EINTR) {
    }
    return r == 0;
}

// Opens `path` for reading only if it is a regular file. Opening does not
// wait: a FIFO or a device in the file's place is refused, not read.
int OpenRegular(const char* path) {
    int fd;
    while ((fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) < 0 && errno == EINTR) {
    }
    if (fd < 0) return -1;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -1;
    }
    // A regular file is then read as any other.
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

// The values of the file at `path`; false when it is missing, is not a
// regular file or does not hold settings.
bool ReadFile(const char* path, SettingsValues* values) {
    const int fd = OpenRegular(path);
    if (fd < 0) return false;
    uint8_t bytes[SettingsFileSize];
    const ssize_t n = ReadAll(fd, bytes, sizeof bytes);
    close(fd);
    return n >= 0 && DecodeSettings(bytes, static_cast<size_t>(n), values);
}

// The file a save replaces: the settings path with its symbolic links
// followed, so that a linked file is updated where it lives. False when the
// links go round in circles or a name grows too long.
bool SaveTarget(char* target, size_t size) {
    if (std::strlen(Path) >= size) return false;
    std::strcpy(target, Path);
    for (int32_t links = 0; links <= MaxLinks; ++links) {
        struct stat info {};
        if (lstat(target, &info) != 0 || !S_ISLNK(info.st_mode)) return true;
        char link[sizeof Path];
        const ssize_t n = readlink(target, link, sizeof link);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof link) return false;
        link[n] = 0;
        if (link[0] == '/') {
            if (static_cast<size_t>(n) >= size) return false;
            std::strcpy(target, link);
        } else {
            // Relative to the folder that holds the link.
            char* slash = std::strrchr(target, '/');
            const size_t keep = slash != nullptr ? static_cast<size_t>(slash - target) + 1 : 0;
            if (keep + static_cast<size_t>(n) >= size) return false;
            std::memcpy(target + keep, link, static_cast<size_t>(n) + 1);
        }
    }
    return false;
}

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    return remove(path);
}

// Clears the new file's name of whatever holds it: a file left by a save
// that was cut short, or anything else (a FIFO, a link, a folder) that
// would make every save fail.
bool ClearName(const char* path) {
    struct stat info {};
    if (lstat(path, &info) != 0) return errno == ENOENT;
    if (S_ISDIR(info.st_mode))
        return nftw(path, RemoveEntry, 8, FTW_DEPTH | FTW_PHYS | FTW_MOUNT) == 0;
    return unlink(path) == 0 || errno == ENOENT;
}

// Makes a rename in the folder that holds `file` last through a power cut.
void SyncFolder(const char* file) {
    char folder[sizeof Path + 8];
    const char* slash = std::strrchr(file, '/');
    if (slash == nullptr)
        std::strcpy(folder, ".");
    else if (slash == file)
        std::strcpy(folder, "/");
    else
        std::snprintf(folder, sizeof folder, "%.*s", static_cast<int>(slash - file), file);
    const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    Sync(fd);
    close(fd);
}

void SetDefaults() {
    Buttons.Table[BUTTON_SOUND].state = 1;
    Board.HighScore = 0;
    Flow.KeyRepeat[REPEAT_ROTATION] = 0;
    Flow.KeyRepeat[REPEAT_LEFT] = 0;
    Flow.KeyRepeat[REPEAT_DROP] = 1;
    Flow.KeyRepeat[REPEAT_RIGHT] = 0;
    Buttons.Table[BUTTON_HIDDEN].state = 1;
}
} // namespace

void SetSettingsPath(const char* path) {
    // A name too long to hold is no better than none: never a file elsewhere.
    if (path == nullptr || std::strlen(path) >= sizeof Path)
        Path[0] = 0;
    else
        std::strcpy(Path, path);
}

const char* SettingsPath() { return Path; }

bool DecodeSettings(const uint8_t* bytes, size_t size, SettingsValues* values) {
    if (size < static_cast<size_t>(SettingsFileSize) || GetWord(bytes) != MagicV ||
        GetWord(bytes + 4) != MagicA)
        return false;
    values->Sound = GetWord(bytes + 8);
    values->HighScore = GetWord(bytes + 12);
    for (int32_t i = 0; i < 4; ++i) values->KeyRepeat[i] = GetWord(bytes + 16 + 4 * i);
    values->Hidden = GetWord(bytes + 32);
    return true;
}

void EncodeSettings(const SettingsValues& values, uint8_t* bytes) {
    PutWord(bytes, MagicV);
    PutWord(bytes + 4, MagicA);
    PutWord(bytes + 8, values.Sound);
    PutWord(bytes + 12, values.HighScore);
    for (int32_t i = 0; i < 4; ++i) PutWord(bytes + 16 + 4 * i, values.KeyRepeat[i]);
    PutWord(bytes + 32, values.Hidden);
}

void LoadSettings() {
    // Read-only: a file the player made read-only still gives its values.
    const int fd = Path[0] != 0 ? OpenRegular(Path) : -1;
    if (fd < 0) {
        // No file (or something that is not a file in its place).
        SetDefaults();
        return;
    }
    uint8_t bytes[SettingsFileSize];
    const ssize_t n = ReadAll(fd, bytes, sizeof bytes);
    close(fd);
    // A short file is treated like one whose magic does not match: the
    // values keep what they held before.
    SettingsValues v{};
    if (n < 0 || !DecodeSettings(bytes, static_cast<size_t>(n), &v)) return;
    Buttons.Table[BUTTON_SOUND].state = v.Sound;
    Board.HighScore = v.HighScore;
    Flow.KeyRepeat[REPEAT_ROTATION] = v.KeyRepeat[0];
    Flow.KeyRepeat[REPEAT_LEFT] = v.KeyRepeat[1];
    Flow.KeyRepeat[REPEAT_DROP] = v.KeyRepeat[2];
    Flow.KeyRepeat[REPEAT_RIGHT] = v.KeyRepeat[3];
    Buttons.Table[BUTTON_HIDDEN].state = v.Hidden;
}

bool SaveSettings() {
    if (Path[0] == 0) return false;
    char target[sizeof Path];
    if (!SaveTarget(target, sizeof target)) return false;

    // Only a regular file is replaced, and only one we may write: a file
    // made read-only stays as it is, as does a folder, a FIFO or a device
    // (a link to /dev/null keeps nothing).
    struct stat info {};
    const bool exists = stat(target, &info) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && (!S_ISREG(info.st_mode) || faccessat(AT_FDCWD, target, W_OK, AT_EACCESS) != 0))
        return false;

    SettingsValues v{Buttons.Table[BUTTON_SOUND].state,
                     Board.HighScore,
                     {Flow.KeyRepeat[REPEAT_ROTATION], Flow.KeyRepeat[REPEAT_LEFT], Flow.KeyRepeat[REPEAT_DROP],
                      Flow.KeyRepeat[REPEAT_RIGHT]},
                     Buttons.Table[BUTTON_HIDDEN].state};
    // Another copy of the game may have saved a better high score since
    // this one started: the higher of the two is kept.
    SettingsValues onDisk{};
    if (exists && ReadFile(target, &onDisk) && onDisk.HighScore > v.HighScore)
        v.HighScore = onDisk.HighScore;
    uint8_t bytes[SettingsFileSize];
    EncodeSettings(v, bytes);

    // The new file is written whole beside the old one and then renamed over
    // it: a crash, a signal or a full disk mid-save leaves the old file as it
    // was. The new file always has the same name, so a save cut short leaves
    // at most one stray file, which the next save replaces.
    char temp[sizeof Path + 8];
    if (std::snprintf(temp, sizeof temp, "%s.new", target) >= static_cast<int>(sizeof temp))
        return false;
    const mode_t mode = exists ? (info.st_mode & 0777) : 0644;
    int fd = -1;
    for (int32_t tries = 0; fd < 0 && tries < 4; ++tries) {
        // Made afresh, never opened through a link or as a FIFO.
        fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, mode);
        if (fd >= 0 || errno == EINTR) continue;
        if (errno != EEXIST || !ClearName(temp)) return false;
    }
    if (fd < 0) return false;
    // The replacement keeps the old file's permissions.
    bool ok = !exists || fchmod(fd, mode) == 0;
    ok = ok && WriteAll(fd, bytes, sizeof bytes) && Sync(fd);
    // An interrupted close has still closed the file, whose bytes are
    // already on the disk.
    ok = (close(fd) == 0 || errno == EINTR) && ok;
    ok = ok && rename(temp, target) == 0;
    if (!ok) {
        unlink(temp);
        return false;
    }
    SyncFolder(target);
    return true;
}
