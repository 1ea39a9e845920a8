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
    std::snprintf(path, sizeof path, "%s%s", folder, SettingsFileName);
    SetSettingsPath(path);
    return AppMain();
}
