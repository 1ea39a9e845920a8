// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include "platform/text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// How many symbolic links a replace follows from the file's name to the file.
constexpr int32_t MaxLinks = 40;

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

// Follows the symbolic links from `path` to the file they lead to. False
// when the links go round in circles or a name grows too long.
bool FollowLinks(const char* path, char* target, size_t size) {
    if (!CopyText(target, size, path)) return false;
    for (int32_t links = 0; links <= MaxLinks; ++links) {
        struct stat info {};
        if (lstat(target, &info) != 0 || !S_ISLNK(info.st_mode)) return true;
        char link[FilePathSize];
        const ssize_t n = readlink(target, link, sizeof link);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof link) return false;
        link[n] = 0;
        if (link[0] == '/') {
            if (!CopyText(target, size, link)) return false;
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

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

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
    char folder[FilePathSize + 8];
    const char* slash = std::strrchr(file, '/');
    if (slash == nullptr)
        CopyText(folder, ".");
    else if (slash == file)
        CopyText(folder, "/");
    else
        std::snprintf(folder, sizeof folder, "%.*s", static_cast<int>(slash - file), file);
    const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    Sync(fd);
    close(fd);
}
} // namespace

int32_t FileRead(const char* path, uint8_t* buffer, int32_t size) {
    if (path == nullptr || size < 0) return FILE_NONE;
    const int fd = OpenRegular(path);
    if (fd < 0) return FILE_NONE;
    const ssize_t n = ReadAll(fd, buffer, static_cast<size_t>(size));
    close(fd);
    return n >= 0 ? static_cast<int32_t>(n) : FILE_FAILED;
}

bool FileFindTarget(const char* path, FileTarget* target) {
    if (path == nullptr || path[0] == 0 || !FollowLinks(path, target->path, sizeof target->path))
        return false;
    // Only a regular file is replaced, and only one we may write: a file
    // made read-only stays as it is, as does a folder, a FIFO or a device.
    struct stat info {};
    target->exists = stat(target->path, &info) == 0;
    if (!target->exists && errno != ENOENT) return false;
    if (target->exists &&
        (!S_ISREG(info.st_mode) || faccessat(AT_FDCWD, target->path, W_OK, AT_EACCESS) != 0))
        return false;
    target->mode = target->exists ? static_cast<uint32_t>(info.st_mode & 0777) : 0644u;
    return true;
}

bool FileReplace(const FileTarget& target, const uint8_t* bytes, int32_t size) {
    if (size < 0) return false;
    char temp[FilePathSize + 8];
    if (std::snprintf(temp, sizeof temp, "%s.new", target.path) >= static_cast<int>(sizeof temp))
        return false;
    const mode_t mode = static_cast<mode_t>(target.mode & 0777);
    int fd = -1;
    for (int32_t tries = 0; fd < 0 && tries < 4; ++tries) {
        // Made afresh, never opened through a link or as a FIFO.
        fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, mode);
        if (fd >= 0 || errno == EINTR) continue;
        if (errno != EEXIST || !ClearName(temp)) return false;
    }
    if (fd < 0) return false;
    // The replacement keeps the old file's permissions, whatever the umask.
    bool ok = !target.exists || fchmod(fd, mode) == 0;
    ok = ok && WriteAll(fd, bytes, static_cast<size_t>(size)) && Sync(fd);
    // An interrupted close has still closed the file, whose bytes are
    // already on the disk.
    ok = (close(fd) == 0 || errno == EINTR) && ok;
    ok = ok && rename(temp, target.path) == 0;
    if (!ok) {
        unlink(temp);
        return false;
    }
    SyncFolder(target.path);
    return true;
}

bool FileSave(const char* path, const uint8_t* bytes, int32_t size) {
    FileTarget target;
    return FileFindTarget(path, &target) && FileReplace(target, bytes, size);
}

bool FileRemove(const char* path) {
    FileTarget target;
    if (!FileFindTarget(path, &target)) return false;
    if (!target.exists) return true;
    if (unlink(target.path) != 0 && errno != ENOENT) return false;
    SyncFolder(target.path);
    return true;
}
