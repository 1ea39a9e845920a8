// SPDX-License-Identifier: GPL-3.0-or-later
// vantle-sim's throughput: a long script of random play (no state lines, no
// shots) read and run in-process by the runner's own code.
#include "tools/sim/run.h"
#include "tools/sim/script.h"
#include "tools/soak/fresh_game.h"
#include "tools/soak/random_play.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
void SimRandomPlay(benchmark::State& state) {
    SoakRandom random{20240601};
    const PlayField field = MeasurePlayField(320, 240);
    std::string script;
    const uint64_t ticks =
        AppendRandomPlay(random, field, static_cast<uint64_t>(state.range(0)), &script);
    FILE* devnull = std::fopen("/dev/null", "w");
    RunOptions options;
    options.settingsPath = "/dev/null/vantle.dat"; // never read, never written
    options.out = devnull;
    options.err = devnull;
    std::vector<ScriptCommand> commands;
    ScriptError error{};
    for ([[maybe_unused]] auto _ : state) {
        FreshGame();
        if (!ParseScript(script.data(), script.size(), &commands, &error)) {
            state.SkipWithError("the random script does not parse");
            break;
        }
        RunScript(commands, options);
    }
    FreshGame();
    std::fclose(devnull);
    state.counters["ticks/s"] =
        benchmark::Counter(static_cast<double>(ticks) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["script lines"] = static_cast<double>(commands.size());
}
BENCHMARK(SimRandomPlay)->Name("Sim/RandomPlay")->Arg(2000000)->Unit(benchmark::kMillisecond);
} // namespace
