// Starting SDL, and the player's data folder.
#include "platform/sdl/desktop.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {
struct SystemState {
    bool quitAtExit;
};
SystemState System;
} // namespace

bool StartSdl(uint32_t subsystem) {
    if (SDL_WasInit(subsystem) == subsystem) return true;
    SDL_SetMainReady();
    SDL_SetHint(SDL_HINT_APP_NAME, "vantle");
    if (SDL_InitSubSystem(subsystem) != 0) return false;
    if (!System.quitAtExit) {
        // Closes the window and the sound device (and with them the
        // disk-audio file) however the program ends.
        std::atexit(SDL_Quit);
        System.quitAtExit = true;
    }
    return true;
}

void PlatformDataFolder(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return;
    buffer[0] = 0;
    // $XDG_DATA_HOME/vantle/, else ~/.local/share/vantle/. An empty or
    // relative XDG_DATA_HOME counts as unset, as the XDG rules say; SDL
    // would take it as it is. A home that is not an absolute path gives no
    // folder at all: a relative one would put the file wherever the game
    // was started.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] != '/') unsetenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (std::getenv("XDG_DATA_HOME") == nullptr && (home == nullptr || home[0] != '/')) return;
    // No organisation: SDL then makes the folder straight under the data home.
    char* path = SDL_GetPrefPath("", "vantle");
    if (path == nullptr) return;
    // Something other than a folder in its place is no folder.
    struct stat info {};
    if (path[0] == '/' && stat(path, &info) == 0 && S_ISDIR(info.st_mode) &&
        std::strlen(path) < size)
        std::strcpy(buffer, path);
    SDL_free(path);
}
