// SPDX-License-Identifier: GPL-3.0-or-later
// The game's entry point: the settings file and the game in progress live
// in the player's data folder, then the window and its message loop take over.
// The command line holds only --help and --version; the game reads nothing
// else from it.
#include "platform/files.h"
#include "platform/platform.h"
#include "shell/app.h"
#include "shell/saved_game.h"
#include "shell/settings.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr int ExitUsage = 2;

constexpr const char* UsageText =
    "usage: vantle [--help | --version]\n"
    "A falling-pair puzzle game; see vantle(6) for the keys, the pen and the files it keeps.\n"
    "  --help     show this and exit\n"
    "  --version  show the version and exit\n";

enum { ANSWER_NONE, ANSWER_HELP, ANSWER_VERSION };

int KnownOption(const char* arg) {
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) return ANSWER_HELP;
    if (std::strcmp(arg, "--version") == 0) return ANSWER_VERSION;
    return ANSWER_NONE;
}

// The exit code when the command line has been answered or refused and the
// game is not to start; -1 when it is to start. Anything unknown refuses
// the whole line; otherwise the first option is answered, as GNU programs do.
int AnswerCommandLine(int argc, char** argv) {
    if (argc <= 1) return -1;
    for (int i = 1; i < argc; ++i) {
        if (KnownOption(argv[i]) != ANSWER_NONE) continue;
        if (argv[i][0] == '-')
            std::fprintf(stderr, "vantle: unknown option %s\n", argv[i]);
        else
            std::fprintf(stderr, "vantle: takes no arguments, not %s\n", argv[i]);
        std::fputs(UsageText, stderr);
        return ExitUsage;
    }
    std::fputs(KnownOption(argv[1]) == ANSWER_HELP ? UsageText : "vantle " VANTLE_VERSION "\n",
               stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    const int answered = AnswerCommandLine(argc, argv);
    if (answered >= 0) return answered;
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
    // The game in progress is kept beside the settings, or nowhere. One copy
    // of the game at a time keeps a game: a second one started meanwhile
    // starts on the title and leaves the first one's game alone (both keep
    // the better high score, as the settings' saves merge it).
    char game[4096 + 16];
    char lock[4096 + 16];
    if (path[0] == 0 ||
        std::snprintf(game, sizeof game, "%s%s", folder, GameFileName) >=
            static_cast<int>(sizeof game) ||
        std::snprintf(lock, sizeof lock, "%s%s", folder, LockFileName) >=
            static_cast<int>(sizeof lock)) {
        game[0] = 0;
    } else if (!FileHoldLock(lock)) {
        std::fputs("vantle: another copy of vantle is running; this one keeps no game in "
                   "progress and leaves that copy's alone\n",
                   stderr);
        game[0] = 0;
    }
    SetGamePath(game);
    return AppMain();
}
