// SPDX-License-Identifier: GPL-3.0-or-later
// The game's entry point: the settings file lives in the player's data
// folder, then the window and its message loop take over.
#include "platform/platform.h"
#include "shell/app.h"
#include "shell/settings.h"

#include <cstdio>

int main() {
    char folder[4096];
    PlatformDataFolder(folder, sizeof folder);
    char path[4096 + 16];
    // Without a data folder the game plays but keeps nothing: the settings
    // never go to whatever folder it happened to be started from.
    if (folder[0] == 0 || std::snprintf(path, sizeof path, "%s%s", folder, SettingsFileName) >=
                              static_cast<int>(sizeof path)) {
        std::fputs(
            "vantle: no data folder (XDG_DATA_HOME or HOME must name a folder that can be made); "
            "the settings and high score will not be saved\n",
            stderr);
        path[0] = 0;
    }
    SetSettingsPath(path);
    return AppMain();
}
