// SPDX-License-Identifier: GPL-3.0-or-later
// The player's files live in the page's memory until they are put into the
// browser's storage. A file renamed over another must leave only itself
// under its name, as on a disk: the memory file system keeps the file it
// replaced in its table of names, behind the new one, so that once the new
// file is removed a lookup finds the old one again (written three times and
// removed, a saved game read back as its second copy). After each rename the
// replaced file is taken out of that table.
Module.preRun = [].concat(Module.preRun || [], function () {
  var rename = FS.rename;
  FS.rename = function (from, to) {
    var node = function (path) {
      try {
        return FS.lookupPath(path).node;
      } catch (e) {
        return null;
      }
    };
    var replaced = node(to);
    var moved = node(from);
    rename(from, to);
    if (replaced && replaced !== moved) FS.hashRemoveNode(replaced);
  };
});
