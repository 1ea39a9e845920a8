// SPDX-License-Identifier: GPL-3.0-or-later
// vantle-sim's script reader against any text, and whatever it accepts run
// by the runner, with the ticks of one input capped so that none runs long.
// Shots are written to one file and the settings file lives beside it, in a
// private folder; the settings file is removed before each input, so every
// input starts alike.
#include "tests/fuzz/fuzz_folder.h"
#include "tools/sim/run.h"
#include "tools/sim/script.h"
#include "tools/soak/fresh_game.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
constexpr uint32_t MaxTicksPerInput = 3000;
constexpr int32_t MaxShotsPerInput = 2;

struct WindowSize {
    int32_t w, h;
};
constexpr WindowSize Sizes[] = {{320, 240}, {240, 320}, {640, 480}, {37, 100}, {1, 1}};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<ScriptCommand> commands;
    ScriptError error{};
    if (!ParseScript(reinterpret_cast<const char*>(data), size, &commands, &error)) {
        // A refusal names a line of the input.
        if (error.line < 1 || error.message.empty()) __builtin_trap();
        return 0;
    }

    // What a script writes goes to the fuzzer's own folder, never to the
    // one it was started in.
    static const std::string shot = FuzzFolder() + "/shot.png";
    static const std::string replay = FuzzFolder() + "/game.replay";
    uint32_t ticksLeft = MaxTicksPerInput;
    int32_t shots = 0;
    for (ScriptCommand& c : commands) {
        if (c.kind == SIM_TICK) {
            if (c.args[0] > ticksLeft) c.args[0] = ticksLeft;
            ticksLeft -= c.args[0];
        } else if (c.kind == SIM_SHOT) {
            c.file = shot;
            if (++shots > MaxShotsPerInput) c.kind = SIM_STATE;
        } else if (c.kind == SIM_REPLAY) {
            c.file = replay;
        }
    }

    static const std::string settings = FuzzFolder() + "/vantle.dat";
    static FILE* devnull = std::fopen("/dev/null", "w");
    unlink(settings.c_str());
    FreshGame();
    RunOptions options;
    const WindowSize window = Sizes[size % (sizeof Sizes / sizeof Sizes[0])];
    options.windowWidth = window.w;
    options.windowHeight = window.h;
    options.settingsPath = settings.c_str();
    options.out = devnull;
    options.err = devnull;
    RunScript(commands, options);
    FreshGame();
    return 0;
}
