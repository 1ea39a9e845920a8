// SPDX-License-Identifier: GPL-3.0-or-later
// What replays cost and how long their codes are:
//   Replay/RecordTick/N   the recording's part of one tick, with the input
//                         changing every N ticks (0: a random mix of keys,
//                         taps and typed keys, a change every 4 ticks or so;
//                         -1: the ticks of the ten-minute game below, a key
//                         pressed and let go every half second)
//   Replay/Play           vantle-sim --replay's own loop (RunReplay) on the
//                         replay of a long game, in ticks a second
//   Replay/Code10Minutes  the code of a 10-minute game with a key pressed and
//                         let go every half second, in characters
//                         (tests/replays/ten-minutes.sim, played by this
//                         version)
//   Replay/CodeSpread     the codes of many random games played through the
//                         whole shell (keys, taps, the Options dialog, pauses):
//                         their lengths' least, percentiles and most
// The lengths are counters, the same on every run; the times are reported,
// never judged.
#include "tests/bench/bench_game.h"

#include "game/flow.h"
#include "game/replay.h"
#include "input/input_state.h"
#include "shell/app.h"
#include "tools/sim/run.h"
#include "tools/sim/script.h"
#include "tools/soak/fresh_game.h"
#include "tools/soak/random_play.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {
struct Input {
    uint16_t held, pressed, typed;
};

// A tick's input for each of `count` ticks: a key goes down or up every
// `every` ticks (0: at random, as a player's keys, taps and typing).
std::vector<Input> Inputs(int64_t every, size_t count) {
    std::vector<Input> inputs(count);
    SoakRandom random{20261210};
    uint16_t held = 0;
    int64_t next = every;
    for (size_t t = 0; t < count; ++t) {
        Input in{held, 0, 0};
        const bool change = every > 0 ? --next == 0 : Below(random, 4) == 0;
        if (change) {
            next = every;
            const uint32_t roll = every > 0 ? 0 : Below(random, 10);
            if (roll < 7) {
                // A key (Left, Right, Up, Down) goes down or up.
                const auto key = static_cast<uint16_t>(1u << Below(random, 4));
                held = static_cast<uint16_t>(held ^ key);
                in = Input{held, static_cast<uint16_t>(held & key), 0};
                if ((held & key) != 0) in.typed = 'X';
            } else if (roll < 9) {
                // A tap on a touch control, let go within the tick.
                in.pressed = static_cast<uint16_t>(1u << Below(random, 4));
                in.typed = 'X';
            } else {
                in.typed = Below(random, 2) == 0 ? VK_SPACE : VK_S;
            }
        }
        inputs[t] = in;
    }
    return inputs;
}

// One in-process run of vantle-sim on `script`, its replay files set; calls
// `afterTick` after every tick.
int32_t RunSim(const std::string& script, void (*afterTick)(void*), void* context) {
    static FILE* devnull = std::fopen("/dev/null", "w");
    FreshGame();
    RunOptions options;
    options.settingsPath = "/dev/null/vantle.dat"; // never read, never written
    options.out = devnull;
    options.err = devnull;
    options.afterTick = afterTick;
    options.context = context;
    return RunScriptText(script.data(), script.size(), options);
}

// The code of the recording (running, or the last one ended).
std::string CodeNow() {
    static char text[ReplayMaxText];
    const int32_t n = ReplayCode(text, sizeof text);
    return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

std::string ReadFile(const char* path) {
    std::string text;
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return text;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
    return text;
}

// tests/replays/ten-minutes.sim without its last line, which writes the
// replay to a file; empty when it is missing or bad.
std::string TenMinutesScript() {
    std::string script = ReadFile(VANTLE_SOURCE_DIR "/tests/replays/ten-minutes.sim");
    const size_t last = script.rfind("replay ");
    if (last != std::string::npos) script.resize(last);
    ScriptError error{};
    if (!CheckScript(script.data(), script.size(), &error)) script.clear();
    return script;
}

void NoteInput(void* context) {
    static_cast<std::vector<Input>*>(context)->push_back(
        Input{InputState.HeldKeys, InputState.PressedKeys, InputState.NewChar});
}

// -1: the input of each tick of the ten-minute game, as the latch left it.
void RecordTick(benchmark::State& state) {
    std::vector<Input> inputs;
    if (state.range(0) >= 0) {
        inputs = Inputs(state.range(0), 1 << 16);
    } else {
        const std::string script = TenMinutesScript();
        if (!script.empty()) RunSim(script, NoteInput, &inputs);
        FreshGame();
        if (inputs.empty()) {
            state.SkipWithError("tests/replays/ten-minutes.sim is missing or bad");
            return;
        }
    }
    OpenGame(320, 240);
    StartPlaying();
    size_t t = 0;
    int64_t restarts = 0, changes = 0;
    for (size_t i = 0; i < inputs.size(); ++i)
        if (inputs[i].pressed != 0 || inputs[i].typed != 0 ||
            inputs[i].held != inputs[i == 0 ? inputs.size() - 1 : i - 1].held)
            ++changes;
    ReplayRecordStart();
    for ([[maybe_unused]] auto _ : state) {
        const Input& in = inputs[t];
        if (++t == inputs.size()) t = 0;
        InputState.HeldKeys = in.held;
        InputState.PressedKeys = in.pressed;
        InputState.NewChar = in.typed;
        ReplayRecordTick();
        // Out of room (a few hours of play): a new recording, as a new game
        // would start one.
        if (!ReplayRecording()) {
            ReplayRecordStart();
            ++restarts;
        }
    }
    state.counters["restarts"] = static_cast<double>(restarts);
    state.counters["changes/tick"] =
        static_cast<double>(changes) / static_cast<double>(inputs.size());
    CloseGame();
}
BENCHMARK(RecordTick)
    ->Name("Replay/RecordTick")
    ->Arg(-1)
    ->Arg(0)
    ->Arg(1)
    ->Arg(7)
    ->Arg(1 << 30)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The ten-minute game of tests/replays/ten-minutes.sim (a player who
// presses a key every half second, placing each pair well enough that the
// game lasts), played by this version: its code's length.
void Code10Minutes(benchmark::State& state) {
    const std::string script = TenMinutesScript();
    if (script.empty()) {
        state.SkipWithError("tests/replays/ten-minutes.sim is missing or bad");
        return;
    }
    std::string code;
    bool inPlay = false;
    for ([[maybe_unused]] auto _ : state) {
        RunSim(script, nullptr, nullptr);
        inPlay = Flow.Mode == MODE_PLAY || Flow.Mode == MODE_RESOLVE;
        code = CodeNow();
    }
    FreshGame();
    state.counters["chars"] = static_cast<double>(code.size());
    state.counters["in play at end"] = inPlay ? 1 : 0;
}
BENCHMARK(Code10Minutes)
    ->Name("Replay/Code10Minutes")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

struct Spread {
    bool recording;
    uint32_t ticks; // of the game being recorded
    std::vector<size_t> chars;
    std::vector<uint32_t> gameTicks;
};

void NoteGame(void* context) {
    Spread& s = *static_cast<Spread*>(context);
    const bool recording = ReplayRecording();
    if (s.recording) ++s.ticks;
    if (s.recording && !recording) {
        s.chars.push_back(CodeNow().size());
        s.gameTicks.push_back(s.ticks);
    }
    if (!s.recording && recording) s.ticks = 0;
    s.recording = recording;
}

template <typename T> double Percentile(std::vector<T> v, double p) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<size_t>(std::lround(p / 100.0 * static_cast<double>(v.size() - 1)));
    return static_cast<double>(v[std::min(i, v.size() - 1)]);
}

void CodeSpread(benchmark::State& state) {
    SoakRandom random{20261211};
    const PlayField field = MeasurePlayField(320, 240);
    std::string script;
    AppendRandomPlay(random, field, static_cast<uint64_t>(state.range(0)), &script);
    Spread spread{};
    for ([[maybe_unused]] auto _ : state) {
        spread = Spread{};
        RunSim(script, NoteGame, &spread);
    }
    FreshGame();
    if (spread.chars.empty()) {
        state.SkipWithError("no game ended");
        return;
    }
    state.counters["games"] = static_cast<double>(spread.chars.size());
    state.counters["chars min"] = Percentile(spread.chars, 0);
    state.counters["p10"] = Percentile(spread.chars, 10);
    state.counters["median"] = Percentile(spread.chars, 50);
    state.counters["p90"] = Percentile(spread.chars, 90);
    state.counters["p99"] = Percentile(spread.chars, 99);
    state.counters["max"] = Percentile(spread.chars, 100);
    state.counters["median game s"] = Percentile(spread.gameTicks, 50) * TickMilliseconds / 1000.0;
    state.counters["longest game s"] =
        Percentile(spread.gameTicks, 100) * TickMilliseconds / 1000.0;
    double chars = 0, seconds = 0;
    for (size_t i = 0; i < spread.chars.size(); ++i) {
        chars += static_cast<double>(spread.chars[i]);
        seconds += spread.gameTicks[i] * TickMilliseconds / 1000.0;
    }
    state.counters["chars a minute"] = chars / seconds * 60.0;
}
BENCHMARK(CodeSpread)
    ->Name("Replay/CodeSpread")
    ->Arg(2000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// vantle-sim --replay's loop on a long game's replay (the six-minute game of
// tests/replays, with chains of two and three passes).
void Play(benchmark::State& state) {
    const char* path = VANTLE_SOURCE_DIR "/tests/replays/long.replay";
    static FILE* devnull = std::fopen("/dev/null", "w");
    RunOptions options;
    options.out = devnull;
    options.err = devnull;
    uint64_t ticks = 0;
    int32_t result = 0;
    for ([[maybe_unused]] auto _ : state) {
        FreshGame();
        result = RunReplay(path, options);
        ticks += ReplayPlayed();
    }
    FreshGame();
    if (result != 0) state.SkipWithError("the replay does not end where it says");
    state.counters["ticks/s"] =
        benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate);
    state.counters["ticks"] = static_cast<double>(ReplayLength());
}
BENCHMARK(Play)
    ->Name("Replay/Play")
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
} // namespace
