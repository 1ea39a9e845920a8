// SPDX-License-Identifier: GPL-3.0-or-later
// Saying that a file could not be kept, and why: once for each file until
// it is kept again.
#include "platform/files.h"

#include "platform/text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unistd.h>

const char* FileErrorText(int32_t error) {
    switch (error) {
    case FILE_NOT_REGULAR: return "not a regular file";
    case FILE_LINK_LOOP: return "its symbolic links go round in a circle";
    case FILE_NAME_TOO_LONG: return "its name is too long";
    case FILE_TOO_LARGE: return "too large";
    default: return std::strerror(error);
    }
}

namespace {
// The files whose last failure has been said, and why, so that a failure
// that goes on is said once.
constexpr int32_t ReportedFiles = 8;
struct Reported {
    char path[FilePathSize];
    bool removing;
    int32_t error;
};
struct ReportState {
    std::mutex lock;
    Reported files[ReportedFiles];
    int32_t next;
};
ReportState Reports;

void Say(const char* line) {
    size_t done = 0;
    const size_t size = std::strlen(line);
    while (done < size) {
        const ssize_t n = write(STDERR_FILENO, line + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}
} // namespace

void FileReport(const char* path, bool removing, int32_t error) {
    if (path == nullptr || path[0] == 0) return;
    const std::lock_guard<std::mutex> hold(Reports.lock);
    Reported* kept = nullptr;
    for (Reported& r : Reports.files)
        if (std::strcmp(r.path, path) == 0) kept = &r;
    if (error == 0) {
        if (kept != nullptr) kept->path[0] = 0;
        return;
    }
    if (kept != nullptr && kept->error == error && kept->removing == removing) return;
    if (kept == nullptr) {
        kept = &Reports.files[Reports.next];
        Reports.next = (Reports.next + 1) % ReportedFiles;
    }
    CopyText(kept->path, path);
    kept->removing = removing;
    kept->error = error;
    char line[FilePathSize + 160];
    std::snprintf(line, sizeof line, "vantle: cannot %s %s: %s\n", removing ? "remove" : "save",
                  path, FileErrorText(error));
    Say(line);
}

bool FileReplaceSaying(const FileTarget& target, const uint8_t* bytes, int32_t size) {
    int32_t error = 0;
    const bool ok = FileReplace(target, bytes, size, &error);
    FileReport(target.path, false, ok ? 0 : error);
    return ok;
}

bool FileRemoveSaying(const char* path) {
    int32_t error = 0;
    const bool ok = FileRemove(path, &error);
    FileReport(path, true, ok ? 0 : error);
    return ok;
}
