// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include "platform/text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/file.h>
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

// Follows the symbolic links from `path` to the file they lead to. False,
// with the reason, when the links go round in circles or a name grows too
// long.
bool FollowLinks(const char* path, char* target, size_t size, int32_t* error) {
    *error = FILE_NAME_TOO_LONG;
    if (!CopyText(target, size, path)) return false;
    for (int32_t links = 0; links <= MaxLinks; ++links) {
        struct stat info {};
        if (lstat(target, &info) != 0 || !S_ISLNK(info.st_mode)) return true;
        char link[FilePathSize];
        const ssize_t n = readlink(target, link, sizeof link);
        if (n <= 0) {
            *error = errno;
            return false;
        }
        if (static_cast<size_t>(n) >= sizeof link) return false;
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
    *error = FILE_LINK_LOOP;
    return false;
}

// The folder that holds `file`, into `folder`.
void FolderOf(const char* file, char* folder, size_t size) {
    const char* slash = std::strrchr(file, '/');
    if (slash == nullptr)
        CopyText(folder, size, ".");
    else if (slash == file)
        CopyText(folder, size, "/");
    else
        std::snprintf(folder, size, "%.*s", static_cast<int>(slash - file), file);
}

void Fail(int32_t* error, int32_t value) {
    if (error != nullptr) *error = value;
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
    FolderOf(file, folder, sizeof folder);
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
    target->error = FILE_NAME_TOO_LONG;
    if (path == nullptr || path[0] == 0 ||
        !FollowLinks(path, target->path, sizeof target->path, &target->error))
        return false;
    // Only a regular file is replaced, and only one we may write: a file
    // made read-only stays as it is, as does a folder, a FIFO or a device.
    struct stat info {};
    target->exists = stat(target->path, &info) == 0;
    target->error = errno;
    if (!target->exists && errno != ENOENT) return false;
    if (target->exists && !S_ISREG(info.st_mode)) {
        target->error = FILE_NOT_REGULAR;
        return false;
    }
    if (target->exists && faccessat(AT_FDCWD, target->path, W_OK, AT_EACCESS) != 0) {
        target->error = errno;
        return false;
    }
    target->error = 0;
    target->mode = target->exists ? static_cast<uint32_t>(info.st_mode & 0777) : 0644u;
    return true;
}

bool FileReplace(const FileTarget& target, const uint8_t* bytes, int32_t size, int32_t* error) {
    Fail(error, EINVAL);
    if (size < 0) return false;
    char temp[FilePathSize + 8];
    Fail(error, FILE_NAME_TOO_LONG);
    if (std::snprintf(temp, sizeof temp, "%s.new", target.path) >= static_cast<int>(sizeof temp))
        return false;
    const mode_t mode = static_cast<mode_t>(target.mode & 0777);
    int fd = -1;
    for (int32_t tries = 0; fd < 0 && tries < 4; ++tries) {
        // Made afresh, never opened through a link or as a FIFO.
        fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, mode);
        if (fd >= 0 || errno == EINTR) continue;
        Fail(error, errno);
        if (errno != EEXIST || !ClearName(temp)) return false;
    }
    if (fd < 0) return false;
    // The replacement keeps the old file's permissions, whatever the umask.
    bool ok = !target.exists || fchmod(fd, mode) == 0;
    ok = ok && WriteAll(fd, bytes, static_cast<size_t>(size)) && Sync(fd);
    // A write that failed without saying why (0 bytes) is a full disk.
    int32_t why = errno != 0 ? errno : ENOSPC;
    // An interrupted close has still closed the file, whose bytes are
    // already on the disk.
    if (close(fd) != 0 && errno != EINTR && ok) {
        why = errno;
        ok = false;
    }
    if (ok && rename(temp, target.path) != 0) {
        why = errno;
        ok = false;
    }
    if (!ok) {
        unlink(temp);
        Fail(error, why);
        return false;
    }
    SyncFolder(target.path);
    Fail(error, 0);
    return true;
}

bool FileSave(const char* path, const uint8_t* bytes, int32_t size, int32_t* error) {
    FileTarget target;
    if (!FileFindTarget(path, &target)) {
        Fail(error, target.error);
        return false;
    }
    return FileReplace(target, bytes, size, error);
}

bool FileRemove(const char* path, int32_t* error) {
    FileTarget target;
    if (!FileFindTarget(path, &target)) {
        Fail(error, target.error);
        return false;
    }
    Fail(error, 0);
    if (!target.exists) return true;
    if (unlink(target.path) != 0 && errno != ENOENT) {
        Fail(error, errno);
        return false;
    }
    SyncFolder(target.path);
    return true;
}

bool FileRemovable(const char* path, int32_t* error) {
    FileTarget target;
    if (!FileFindTarget(path, &target)) {
        *error = target.error;
        return false;
    }
    *error = 0;
    if (!target.exists) return false;
    char folder[FilePathSize + 8];
    FolderOf(target.path, folder, sizeof folder);
    if (faccessat(AT_FDCWD, folder, W_OK | X_OK, AT_EACCESS) != 0) {
        *error = errno;
        return false;
    }
    return true;
}

bool FileHoldLock(const char* path) {
    static int held = -1;
    if (held >= 0) return true;
    int fd;
    while ((fd = open(path, O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0644)) < 0 &&
           errno == EINTR) {
    }
    if (fd < 0) return true;
    int r;
    while ((r = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (r != 0) {
        const bool taken = errno == EWOULDBLOCK;
        close(fd);
        return !taken;
    }
    held = fd;
    return true;
}
