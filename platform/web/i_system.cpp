// SPDX-License-Identifier: GPL-3.0-or-later
// The player's data folder lives in the page's memory and is kept in the
// browser's local storage, a key a file ("vantle:" and the file's name, its
// bytes in hexadecimal): read back when the folder is first asked for, and
// written after the game has saved its settings. Storage that the browser
// refuses, or that is full, is passed over: the game plays on.
#include "platform/web/web.h"

#include "platform/text.h"

#include <cstring>
#include <emscripten.h>

#include <sys/stat.h>

namespace {
constexpr const char* Folder = "/vantle/";

// Files from storage into the folder; a value that is not an even run of
// hexadecimal digits (or is implausibly long) is no file of the game's.
extern "C" void js_restore_folder(const char* folder);

// The folder's files into storage. A key whose file is not here stays: it
// may be another tab's (its game in progress); the game takes out a file's
// key itself when it removes the file (js_store_file).
extern "C" void js_save_folder(const char* folder);

// One file of the folder from storage, as it is there now (another tab may
// have saved it since this page was loaded); a file storage does not hold,
// or holds as no file of the game's, stays as it is.
extern "C" void js_fetch_file(const char* path, const char* file);

// One file of the folder into storage, or its key taken out when the file
// is gone.
extern "C" void js_store_file(const char* path, const char* file);

struct SystemState {
    bool restored;
    int32_t failures; // files not kept since the last wait
};
SystemState System;

// The name a file of the game's folder is stored under, or null for a path
// outside the folder or in a folder within it, which storage does not keep.
const char* StoredName(const char* path) {
    if (!System.restored || path == nullptr) return nullptr;
    const size_t length = std::strlen(Folder);
    if (std::strncmp(path, Folder, length) != 0) return nullptr;
    const char* name = path + length;
    return name[0] != 0 && std::strchr(name, '/') == nullptr ? name : nullptr;
}
} // namespace

void PlatformDataFolder(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return;
    buffer[0] = 0;
    if (!System.restored) {
        mkdir(Folder, 0755);
        js_restore_folder(Folder);
        System.restored = true;
    }
    if (!CopyText(buffer, size, Folder)) buffer[0] = 0;
}

void StorageSave() {
    if (System.restored) js_save_folder(Folder);
}

void PlatformFileFetch(const char* path) {
    if (const char* name = StoredName(path)) js_fetch_file(path, name);
}

// The files are written at once (the page's memory is no slow disk), then
// put into storage, or taken out of it when they are gone.
bool PlatformFileReplace(const FileTarget& target, const uint8_t* bytes, int32_t size) {
    const bool kept = FileReplaceSaying(target, bytes, size);
    if (!kept) ++System.failures;
    if (const char* name = StoredName(target.path)) js_store_file(target.path, name);
    return kept;
}

bool PlatformFileRemove(const char* path) {
    const bool kept = FileRemoveSaying(path);
    if (!kept) ++System.failures;
    if (const char* name = StoredName(path)) js_store_file(path, name);
    return kept;
}

int32_t PlatformFilesWait() {
    const int32_t failures = System.failures;
    System.failures = 0;
    return failures;
}
