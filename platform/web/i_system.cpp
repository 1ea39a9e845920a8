// SPDX-License-Identifier: GPL-3.0-or-later
// The player's data folder lives in the page's memory and is kept in the
// browser's local storage, a key a file ("vantle:" and the file's name, its
// bytes in hexadecimal): read back when the folder is first asked for, and
// written after the game has saved its settings. Storage that the browser
// refuses, or that is full, is passed over: the game plays on.
#include "platform/web/web.h"

#include "platform/text.h"

#include <emscripten.h>

#include <sys/stat.h>

namespace {
constexpr const char* Folder = "/vantle/";

// Files from storage into the folder; a value that is not an even run of
// hexadecimal digits (or is implausibly long) is no file of the game's.
EM_JS(void, js_restore_folder, (const char* folder), {
    var dir = UTF8ToString(folder);
    try {
        for (var i = 0; i < localStorage.length; i++) {
            var key = localStorage.key(i);
            if (key.indexOf("vantle:") != 0) continue;
            var name = key.substring(7);
            var hex = localStorage.getItem(key);
            if (name == "" || name.indexOf("/") >= 0 || name == "." || name == "..") continue;
            if (hex == null || hex.length % 2 != 0 || hex.length > 8192 || hex.replace(/[0-9a-f]/g, "").length != 0) continue;
            var bytes = new Uint8Array(hex.length / 2);
            for (var j = 0; j < bytes.length; j++) bytes[j] = parseInt(hex.substr(2 * j, 2), 16);
            FS.writeFile(dir + name, bytes);
        }
    } catch (e) {
    }
});

// The folder's files into storage, and the keys of files no longer there
// taken out.
EM_JS(void, js_save_folder, (const char* folder), {
    var dir = UTF8ToString(folder);
    try {
        var names = FS.readdir(dir);
        var kept = {};
        for (var i = 0; i < names.length; i++) {
            var path = dir + names[i];
            if (names[i] == "." || names[i] == ".." || !FS.isFile(FS.stat(path).mode)) continue;
            var bytes = FS.readFile(path);
            var hex = "";
            for (var j = 0; j < bytes.length; j++) hex += (bytes[j] | 256).toString(16).substring(1);
            kept["vantle:" + names[i]] = true;
            try { localStorage.setItem("vantle:" + names[i], hex); } catch (e) {}
        }
        for (var k = localStorage.length - 1; k >= 0; k--) {
            var key = localStorage.key(k);
            if (key && key.indexOf("vantle:") == 0 && !kept[key]) localStorage.removeItem(key);
        }
    } catch (e) {
    }
});

struct SystemState {
    bool restored;
};
SystemState System;
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
