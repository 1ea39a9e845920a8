// SPDX-License-Identifier: GPL-3.0-or-later
// replay-keeper: runs a vantle-sim script with the replay files kept in a
// folder beside the settings, as the desktop game keeps them. vantle-sim
// itself keeps none, and its run stops when the game ends the program, so
// the replay of a game ended by Escape is made with this.
// It can also hide the window after given ticks, as a desktop does when the
// window is minimised (the game pauses, and its replay says so), which no
// script command does.
// Usage: replay-keeper FOLDER SCRIPT [TICK...] (FOLDER ends in '/'; it gets
// vantle.dat, vantle.sav, vantle-last.replay and vantle-best.replay; the
// window is hidden after each TICK, counted from the run's start).
#include "platform/platform.h"
#include "shell/app.h"
#include "shell/replays.h"
#include "tools/sim/run.h"
#include "tools/sim/script.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {
struct Hiding {
    std::set<long> ticks;
    long tick;
};

void AfterTick(void* context) {
    Hiding& hiding = *static_cast<Hiding*>(context);
    if (hiding.ticks.count(++hiding.tick) != 0 && PlatformWindowAlive(MainWindow))
        PlatformDispatchEvent(ShownEvent(false));
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: replay-keeper FOLDER/ SCRIPT [TICK...]\n", stderr);
        return 2;
    }
    Hiding hiding{{}, 0};
    for (int i = 3; i < argc; ++i) hiding.ticks.insert(std::strtol(argv[i], nullptr, 10));
    const std::string folder = argv[1];
    std::string text;
    FILE* in = std::fopen(argv[2], "rb");
    if (in == nullptr) {
        std::fprintf(stderr, "replay-keeper: cannot open %s\n", argv[2]);
        return 2;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, n);
    std::fclose(in);
    ScriptError error{};
    if (!CheckScript(text.data(), text.size(), &error)) {
        std::fprintf(stderr, "replay-keeper: line %d: %s\n", error.line, error.message.c_str());
        return 2;
    }
    const std::string settings = folder + "vantle.dat";
    const std::string game = folder + "vantle.sav";
    RunOptions options;
    options.settingsPath = settings.c_str();
    options.gamePath = game.c_str();
    options.afterTick = AfterTick;
    options.context = &hiding;
    SetReplayFolder(folder.c_str());
    return RunScriptText(text.data(), text.size(), options);
}
