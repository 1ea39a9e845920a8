// SPDX-License-Identifier: GPL-3.0-or-later
// The game's entry point: the settings file and the game in progress live
// in the player's data folder, then the window and its event loop take over.
// The command line may ask for a replay to be watched or a game brought
// from elsewhere to be played on (see UsageText); the game reads nothing
// else from it.
#include "game/replay.h"
#include "game/snapshot.h"
#include "platform/base64.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "shell/app.h"
#include "shell/replays.h"
#include "shell/saved_game.h"
#include "shell/settings.h"
#include "shell/watch.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {
constexpr int ExitUsage = 2;
constexpr int ExitNothing = 1;

constexpr const char* UsageText =
    "usage: vantle [--watch [FILE | CODE] | --game FILE | CODE | --help | --version]\n"
    "A falling-pair puzzle game; see vantle(6) for the keys, the pen and the files it keeps.\n"
    "  --watch          watch the replay of your best game\n"
    "  --watch FILE     watch the replay in FILE (a vantle-last.replay, say)\n"
    "  --watch CODE     watch the replay a code or a link (...#watch=CODE) holds\n"
    "  --game FILE|CODE play on a game brought from elsewhere (a link ...#game=CODE, its\n"
    "                   code, or a file holding it): it comes back paused, as your own\n"
    "  --help           show this and exit\n"
    "  --version        show the version and exit\n";

struct CommandLine {
    bool help, version;
    bool watch;
    const char* watchWhat; // a file or a code; none for the best game
    const char* game;      // a file or a code
};

bool IsOption(const char* arg) {
    return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0 ||
           std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "--watch") == 0 ||
           std::strcmp(arg, "--game") == 0;
}

int Refuse(const char* what, const char* arg) {
    std::fprintf(stderr, "vantle: %s%s\n", what, arg);
    std::fputs(UsageText, stderr);
    return ExitUsage;
}

// Reads the command line; -1 when the game is to start, else the exit code
// (the line answered or refused). Anything unknown refuses the whole line;
// otherwise --help or --version is answered, the first of them, as GNU
// programs do.
int ReadCommandLine(int argc, char** argv, CommandLine* line) {
    int answer = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            if (answer == 0) answer = 1;
        } else if (std::strcmp(arg, "--version") == 0) {
            if (answer == 0) answer = 2;
        } else if (std::strcmp(arg, "--watch") == 0) {
            line->watch = true;
            if (i + 1 < argc && !IsOption(argv[i + 1])) line->watchWhat = argv[++i];
        } else if (std::strcmp(arg, "--game") == 0) {
            if (i + 1 >= argc || IsOption(argv[i + 1]))
                return Refuse("--game needs a file or a code", "");
            line->game = argv[++i];
        } else if (arg[0] == '-') {
            return Refuse("unknown option ", arg);
        } else {
            return Refuse("takes no arguments, not ", arg);
        }
    }
    if (line->watch && line->game != nullptr)
        return Refuse("--watch and --game go one at a time", "");
    if (answer == 0) return -1;
    std::fputs(answer == 1 ? UsageText : "vantle " VANTLE_VERSION "\n", stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// A code given on the command line, or the file that holds one: a regular
// file of that name is read, else the text itself is the code. False when
// a file of that name cannot be read or is too long to hold a code.
bool CodeOf(const char* arg, char* text, size_t capacity, size_t* length) {
    struct stat info {};
    if (stat(arg, &info) != 0 || !S_ISREG(info.st_mode)) {
        *length = std::strlen(arg);
        if (*length >= capacity) return false;
        std::memcpy(text, arg, *length + 1);
        return true;
    }
    const int32_t n =
        FileRead(arg, reinterpret_cast<uint8_t*>(text), static_cast<int32_t>(capacity));
    if (n < 0 || static_cast<size_t>(n) >= capacity) return false;
    text[n] = 0;
    *length = static_cast<size_t>(n);
    return true;
}

// The replay to watch: the argument's, or the best game's in `folder`.
int AskToWatch(const CommandLine& line, const char* folder) {
    static char text[ReplayMaxText + 256];
    size_t length = 0;
    if (line.watchWhat != nullptr) {
        if (!CodeOf(line.watchWhat, text, sizeof text, &length)) {
            std::fprintf(stderr, "vantle: cannot read a replay from %s\n", line.watchWhat);
            return ExitNothing;
        }
    } else {
        char best[4096 + 32];
        std::snprintf(best, sizeof best, "%s%s", folder, BestReplayFileName);
        const int32_t n = folder[0] != 0 ? FileRead(best, reinterpret_cast<uint8_t*>(text),
                                                    static_cast<int32_t>(sizeof text) - 1)
                                         : FILE_NONE;
        if (n <= 0) {
            std::fprintf(stderr, "vantle: no best game has been kept yet (%s)\n",
                         folder[0] != 0 ? best : "there is no data folder");
            return ExitNothing;
        }
        length = static_cast<size_t>(n);
    }
    const int32_t loaded = ReplayLoad(text, length);
    if (loaded != REPLAY_LOADED) {
        std::fprintf(stderr, "vantle: nothing to watch: %s\n", ReplayLoadProblem(loaded));
        return ExitUsage;
    }
    SetWatchCode(text, length);
    return -1;
}

// The game to play on, from the argument.
int AskToContinue(const char* arg) {
    static char text[4096];
    size_t length = 0;
    uint8_t game[SnapshotSize + 1];
    int32_t n = -1;
    if (CodeOf(arg, text, sizeof text, &length)) {
        while (length > 0 &&
               (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
            --length;
        size_t from = 0;
        for (size_t i = 0; i < length; ++i)
            if (text[i] == '=') from = i + 1;
        n = Base64Decode(text + from, length - from, game, sizeof game);
    }
    if (n != SnapshotSize || !GameBytesValid(game, SnapshotSize)) {
        std::fprintf(stderr,
                     "vantle: %s holds no game to play on (a game's code, or a link "
                     "...#game=CODE)\n",
                     arg);
        return ExitUsage;
    }
    SetGameToContinue(game);
    return -1;
}
} // namespace

int main(int argc, char** argv) {
    CommandLine line{};
    const int answered = ReadCommandLine(argc, argv, &line);
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
    // The replays of the last and the best game are kept beside the settings.
    SetReplayFolder(path[0] != 0 ? folder : "");
    const int asked = line.watch             ? AskToWatch(line, path[0] != 0 ? folder : "")
                      : line.game != nullptr ? AskToContinue(line.game)
                                             : -1;
    if (asked >= 0) return asked;
    return AppMain();
}
