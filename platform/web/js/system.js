// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of the data folder (see i_system.cpp): its files kept in the
// browser's storage, and files fetched beside the page.
mergeInto(LibraryManager.library, {
  // Files from storage into the folder; a value that is not an even run of
  // hexadecimal digits (or is implausibly long) is no file of the game's.
  js_restore_folder: function (folder) {
    var dir = UTF8ToString(folder);
    try {
      for (var i = 0; i < localStorage.length; i++) {
        var key = localStorage.key(i);
        if (key.indexOf("vantle:") != 0) continue;
        var name = key.substring(7);
        var hex = localStorage.getItem(key);
        if (name == "" || name.indexOf("/") >= 0 || name == "." || name == "..") continue;
        if (hex == null || hex.length % 2 != 0 || hex.length > 262144 || hex.replace(/[0-9a-f]/g, "").length != 0)
          continue;
        var bytes = new Uint8Array(hex.length / 2);
        for (var j = 0; j < bytes.length; j++) bytes[j] = parseInt(hex.substr(2 * j, 2), 16);
        FS.writeFile(dir + name, bytes);
      }
    } catch (e) {}
  },
  // The folder's files into storage. A key whose file is not here stays: it
  // may be another tab's (its game in progress); the game takes out a file's
  // key itself when it removes the file (js_store_file).
  js_save_folder: function (folder) {
    var dir = UTF8ToString(folder);
    try {
      var names = FS.readdir(dir);
      for (var i = 0; i < names.length; i++) {
        var path = dir + names[i];
        if (names[i] == "." || names[i] == ".." || !FS.isFile(FS.stat(path).mode)) continue;
        var bytes = FS.readFile(path);
        var hex = "";
        for (var j = 0; j < bytes.length; j++) hex += (bytes[j] | 256).toString(16).substring(1);
        try {
          localStorage.setItem("vantle:" + names[i], hex);
        } catch (e) {}
      }
    } catch (e) {}
  },
  // One file of the folder from storage, as it is there now (another tab may
  // have saved it since this page was loaded); a file storage does not hold,
  // or holds as no file of the game's, stays as it is.
  js_fetch_file: function (path, file) {
    var p = UTF8ToString(path);
    var name = UTF8ToString(file);
    try {
      var hex = localStorage.getItem("vantle:" + name);
      if (hex == null || hex.length % 2 != 0 || hex.length > 262144 || hex.replace(/[0-9a-f]/g, "").length != 0) return;
      var bytes = new Uint8Array(hex.length / 2);
      for (var j = 0; j < bytes.length; j++) bytes[j] = parseInt(hex.substr(2 * j, 2), 16);
      FS.writeFile(p, bytes);
    } catch (e) {}
  },
  // One file of the folder into storage, or its key taken out when the file
  // is gone.
  js_store_file: function (path, file) {
    var p = UTF8ToString(path);
    var name = UTF8ToString(file);
    try {
      var bytes = null;
      try {
        if (FS.isFile(FS.stat(p).mode)) bytes = FS.readFile(p);
      } catch (e) {}
      if (bytes == null) {
        localStorage.removeItem("vantle:" + name);
        return;
      }
      var hex = "";
      for (var j = 0; j < bytes.length; j++) hex += (bytes[j] | 256).toString(16).substring(1);
      localStorage.setItem("vantle:" + name, hex);
    } catch (e) {}
  },
});
