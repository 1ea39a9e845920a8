// SPDX-License-Identifier: GPL-3.0-or-later
// vantle-soak: plays the game headless for millions of ticks of random
// play, restarting it whenever its window closes, and checks after every
// tick the rules a player relies on. Seeded: the seed and the tick of the
// first broken rule are printed, and the failing game's script is kept.
//
//   vantle-soak [--ticks N] [--seed S]
#include "game/board.h"
#include "input/buttons.h"
#include "platform/platform.h"
#include "shell/app.h"
#include "shell/settings.h"
#include "tools/sim/run.h"
#include "tools/sim/script.h"
#include "tools/soak/fresh_game.h"
#include "tools/soak/invariants.h"
#include "tools/soak/random_play.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
struct WindowSize {
    int32_t w, h;
};
// The usual window most of the time; portrait, large, odd and tiny ones too.
constexpr WindowSize Sizes[] = {{320, 240}, {320, 240}, {320, 240}, {320, 240},   {640, 480},
                                {240, 320}, {480, 640}, {800, 600}, {1920, 1080}, {1366, 768},
                                {333, 250}, {100, 37},  {1, 1},     {239, 319}};

struct Soak {
    SoakRandom random;
    uint64_t seed;
    uint64_t ticks; // wanted
    std::string dir;
    std::string settings;
    SoakWatch watch;
    uint64_t sessions;
};

bool ParseNumber(const char* text, uint64_t* value) {
    char* end = nullptr;
    *value = std::strtoull(text, &end, 10);
    return text[0] >= '0' && text[0] <= '9' && end != nullptr && *end == 0;
}

std::string ReadFile(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[256];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

void WriteFile(const std::string& path, const void* data, size_t size) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

// Now and then the game starts from a missing, damaged or unusual file.
void TamperWithSettings(Soak& s) {
    const uint32_t r = Below(s.random, 100);
    if (r < 80) return; // the file the last game saved
    if (r < 85) {
        unlink(s.settings.c_str());
        return;
    }
    SettingsValues v{};
    const int32_t odd[] = {0, 1, 2, -1, 7};
    v.Sound =
        Chance(s.random, 80) ? static_cast<int32_t>(Below(s.random, 2)) : odd[Below(s.random, 5)];
    v.HighScore = Chance(s.random, 90) ? static_cast<int32_t>(Below(s.random, 5000))
                                       : INT32_MAX - static_cast<int32_t>(Below(s.random, 1000));
    for (int32_t& k : v.KeyRepeat)
        k = Chance(s.random, 90) ? static_cast<int32_t>(Below(s.random, 2))
                                 : odd[Below(s.random, 5)];
    v.Hidden = odd[Below(s.random, 5)];
    uint8_t bytes[SettingsFileSize + 4] = {};
    EncodeSettings(v, bytes);
    size_t size = SettingsFileSize;
    if (r >= 95) {
        // Damaged: cut short, one byte too many, or a wrong magic word.
        switch (Below(s.random, 3)) {
        case 0: size = Below(s.random, SettingsFileSize); break;
        case 1: size = SettingsFileSize + 1; break;
        default: bytes[Below(s.random, 8)] ^= static_cast<uint8_t>(1 + Below(s.random, 255)); break;
        }
    }
    WriteFile(s.settings, bytes, size);
}

// How the game is left: not at all (the soak closes it), by the window
// manager, by Escape (ignored while a landing resolves, so it is tried a few
// times), or by the close command.
void AppendEnding(Soak& s, std::string* script) {
    switch (Below(s.random, 4)) {
    case 0: break;
    case 1: script->append("close\n"); break;
    case 2:
        for (int32_t i = 0; i < 20; ++i) script->append("down 27\ntick\nup 27\ntick\n");
        script->append("close\n");
        break;
    default: script->append("cmd 40002\n"); break;
    }
}

void Report(const Soak& s, double seconds) {
    const SoakWatch& w = s.watch;
    std::printf(
        "vantle-soak: %" PRIu64 " ticks in %" PRIu64 " starts of the game, %.1f s (%.0f ticks/s)\n",
        w.tick, s.sessions, seconds, seconds > 0 ? static_cast<double>(w.tick) / seconds : 0.0);
    std::printf("  ticks by mode: title %" PRIu64 ", play %" PRIu64 ", resolve %" PRIu64
                ", game over %" PRIu64 "\n",
                w.modeTicks[0], w.modeTicks[1], w.modeTicks[2], w.modeTicks[3]);
    std::printf("  games %" PRIu64 ", scoring passes %" PRIu64
                ", longest chain %d, best score %d\n",
                w.games, w.scoringPasses, w.longestChain, w.bestScore);
    std::printf("  cues %" PRIu64 ", ticks with the sound off %" PRIu64 "\n", w.cues,
                w.silentTicks);
}

// Keeps what it takes to play the failing game again with vantle-sim.
void KeepFailure(const Soak& s, const WindowSize& size, const std::string& script,
                 const std::string& startFile) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base =
        std::string(tmp != nullptr ? tmp : "/tmp") + "/vantle-soak-" + std::to_string(s.seed);
    WriteFile(base + ".sim", script.data(), script.size());
    if (!startFile.empty()) WriteFile(base + ".dat", startFile.data(), startFile.size());
    std::fprintf(stderr, "vantle-soak: the game is kept: vantle-sim --window %dx%d%s%s %s.sim\n",
                 size.w, size.h, startFile.empty() ? "" : " --settings ",
                 startFile.empty() ? "" : (base + ".dat").c_str(), base.c_str());
}

// One start of the game: random play until the window closes.
bool Session(Soak& s, FILE* devnull) {
    const WindowSize size = Sizes[Below(s.random, sizeof Sizes / sizeof Sizes[0])];
    TamperWithSettings(s);
    const std::string startFile = ReadFile(s.settings);

    FreshGame();
    const PlayField field = MeasurePlayField(size.w, size.h);
    // What the game will start from, as its own loader reads the file.
    FreshGame();
    SetSettingsPath(s.settings.c_str());
    LoadSettings();
    StartWatch(s.watch, Buttons.Table[BUTTON_SOUND].state, Board.HighScore);
    FreshGame();

    const uint64_t left = s.ticks - s.watch.tick;
    const uint32_t kind = Below(s.random, 10);
    uint64_t length = kind < 6   ? 20000 + Below(s.random, 80000)
                      : kind < 9 ? 1000 + Below(s.random, 19000)
                                 : 1 + Below(s.random, 1000);
    if (length > left) length = left;
    std::string script;
    AppendRandomPlay(s.random, field, length, &script);
    AppendEnding(s, &script);

    std::vector<ScriptCommand> commands;
    ScriptError error{};
    if (!ParseScript(script.data(), script.size(), &commands, &error)) {
        std::fprintf(stderr,
                     "vantle-soak: seed %" PRIu64 ": the random script is bad at line %d: %s\n",
                     s.seed, error.line, error.message.c_str());
        KeepFailure(s, size, script, startFile);
        return false;
    }
    RunOptions options;
    options.windowWidth = size.w;
    options.windowHeight = size.h;
    options.settingsPath = s.settings.c_str();
    options.out = devnull;
    options.err = devnull;
    options.afterTick = CheckTick;
    options.context = &s.watch;
    const int32_t code = RunScript(commands, options);
    if (PlatformWindowAlive(MainWindow))
        PlatformDestroyWindow(MainWindow);
    else if (code != 0 && s.watch.failedAt == 0) {
        std::snprintf(s.watch.failure, sizeof s.watch.failure, "the game ended with exit code %d",
                      code);
        s.watch.failedAt = s.watch.tick;
    }
    CheckClose(s.watch, s.settings.c_str());
    ++s.sessions;

    if (s.watch.failedAt != 0) {
        std::fprintf(stderr,
                     "vantle-soak: seed %" PRIu64 ": broken at tick %" PRIu64 " (tick %" PRIu64
                     " of start %" PRIu64 "): %s\n",
                     s.seed, s.watch.failedAt, s.watch.sessionTick, s.sessions, s.watch.failure);
        KeepFailure(s, size, script, startFile);
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    Soak s{};
    s.ticks = 10000000;
    s.seed = (static_cast<uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
    for (int i = 1; i < argc; ++i) {
        const bool ticks = std::strcmp(argv[i], "--ticks") == 0 && i + 1 < argc &&
                           ParseNumber(argv[i + 1], &s.ticks) && s.ticks > 0;
        const bool seed = std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc &&
                          ParseNumber(argv[i + 1], &s.seed);
        if (ticks || seed) {
            ++i; // the option's value
        } else {
            std::fprintf(stderr, "usage: vantle-soak [--ticks N] [--seed S]\n");
            return 2;
        }
    }
    s.random.State = s.seed;
    std::printf("vantle-soak: seed %" PRIu64 ", %" PRIu64 " ticks\n", s.seed, s.ticks);
    std::fflush(stdout);

    char dir[] = "/tmp/vantle-soak-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        std::fprintf(stderr, "vantle-soak: cannot make a folder for the settings file\n");
        return 2;
    }
    s.dir = dir;
    s.settings = s.dir + "/vantle.dat";
    FILE* devnull = std::fopen("/dev/null", "w");

    const auto start = std::chrono::steady_clock::now();
    bool ok = true;
    uint64_t nextNote = 1000000;
    while (ok && s.watch.tick < s.ticks) {
        ok = Session(s, devnull);
        if (s.watch.tick >= nextNote) {
            std::printf("  %" PRIu64 " ticks\n", s.watch.tick);
            std::fflush(stdout);
            nextNote += 1000000;
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    Report(s, took.count());
    FreshGame();
    std::fclose(devnull);
    unlink(s.settings.c_str());
    rmdir(s.dir.c_str());
    if (!ok) return 1;
    std::printf("vantle-soak: every rule held\n");
    return 0;
}
