// SPDX-License-Identifier: GPL-3.0-or-later
// The game's entry point: the settings file and the game in progress live
// in the player's data folder, then the window and its message loop take over.
#include "platform/platform.h"
#include "shell/app.h"
#include "shell/saved_game.h"
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
    // The game in progress is kept beside the settings, or nowhere.
    char game[4096 + 16];
    if (path[0] == 0 || std::snprintf(game, sizeof game, "%s%s", folder, GameFileName) >=
                            static_cast<int>(sizeof game))
        game[0] = 0;
    SetGamePath(game);
    return AppMain();
}
