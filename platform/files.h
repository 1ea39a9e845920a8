// SPDX-License-Identifier: GPL-3.0-or-later
// The player's small files (the settings, a saved game), by path and bytes:
// read without ever waiting on what is in a file's place, and replaced
// whole, so that a crash, a signal or a full disk in the middle of a save
// leaves the old file or the new one on the disk, never part of either.
// Nothing here knows what the bytes mean, and nothing allocates.
#pragma once

#include <cstddef>
#include <cstdint>

// The longest path the files take, with its ending zero.
constexpr size_t FilePathSize = 4096;

// FileRead's answers that are not a count of bytes.
constexpr int32_t FILE_NONE = -1;   // no regular file there: missing, a folder, a FIFO,
                                    // a device, or one that cannot be opened
constexpr int32_t FILE_FAILED = -2; // a regular file, but reading it failed

// Reads the first `size` bytes (fewer if the file is shorter) of the regular
// file at `path` into `buffer`, going on after short reads and interrupted
// calls. Opening never waits: a FIFO or a device in the file's place is
// refused, not read. Returns the number of bytes read, or FILE_NONE or
// FILE_FAILED.
int32_t FileRead(const char* path, uint8_t* buffer, int32_t size);

// Why a file could not be kept: an errno value, or one of these.
constexpr int32_t FILE_NOT_REGULAR = -100;   // a folder, a FIFO, a device in its place
constexpr int32_t FILE_LINK_LOOP = -101;     // links in a circle, or too many
constexpr int32_t FILE_NAME_TOO_LONG = -102; // longer than FilePathSize
constexpr int32_t FILE_TOO_LARGE = -103;     // more bytes than a kept file may have

// The most bytes a file kept through the platform's writer may have.
constexpr int32_t FileMaxBytes = 65536;

// The reason, as a player reads it ("No space left on device").
const char* FileErrorText(int32_t error);

// The file a replace of some path writes.
struct FileTarget {
    char path[FilePathSize]; // the path with its symbolic links followed
    bool exists;             // a regular file we may write is there now
    uint32_t mode;           // the new file's permissions: the old one's, else 0644
    int32_t error;           // why FileFindTarget refused, else 0
};

// Where a replace of `path` writes: the file at the end of its chain of
// symbolic links (at most 40), so that a linked file is updated where it
// lives. False, and nothing may be written, when the links go round in
// circles, a name grows too long, something other than a regular file is
// there (a folder, a FIFO, a device: a link to /dev/null keeps nothing), the
// file is one we may not write (made read-only), or the system will not say
// what is there.
bool FileFindTarget(const char* path, FileTarget* target);

// Replaces the target with the `size` bytes at `bytes`: they are written
// whole to "<target>.new" beside it and synced, that file is renamed over the
// target, and then the folder is synced so that the rename lasts through a
// power cut. The new file always has that name, so a save cut short leaves at
// most one stray file; whatever holds the name (that file, a link, a folder,
// a FIFO) is removed first, a link itself and never what it points to.
// False when nothing was saved: the target is then as it was.
bool FileReplace(const FileTarget& target, const uint8_t* bytes, int32_t size,
                 int32_t* error = nullptr);

// Takes away the file a replace of `path` would write (its links followed),
// and syncs its folder. True when no file is there now; anything that is
// not a regular file we may write is left alone (false).
bool FileRemove(const char* path, int32_t* error = nullptr);

// Whether the file at `path` (its links followed) could be taken away: a
// regular file we may write, in a folder we may write. False, with the
// reason, when it could not (a file made read-only, a read-only folder or
// disk); also false, with error 0, when there is no file.
bool FileRemovable(const char* path, int32_t* error);

// FileFindTarget and then FileReplace, for a file whose old bytes do not
// matter.
bool FileSave(const char* path, const uint8_t* bytes, int32_t size, int32_t* error = nullptr);

// Holds the lock file at `path` (made if missing) for as long as the
// program runs: true when this program holds it now, false when another
// program does. A lock that cannot be had for any other reason (a read-only
// folder) is no one's: true.
bool FileHoldLock(const char* path);

// FileReplace and FileRemove, each saying why when it fails (FileReport):
// what a backend's writer does with the files it is given.
bool FileReplaceSaying(const FileTarget& target, const uint8_t* bytes, int32_t size);
bool FileRemoveSaying(const char* path);

// Says in one line on standard error that the file at `path` could not be
// kept ("vantle: cannot save PATH: REASON", or "cannot remove"), once until
// that file is kept again or fails for another reason; a success only
// clears it. Any thread may call it.
void FileReport(const char* path, bool removing, int32_t error);
