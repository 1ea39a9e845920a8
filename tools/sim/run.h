// Runs a checked script against the game's own code on the headless backend.
#pragma once

#include "tools/sim/script.h"

#include <cstdint>
#include <cstdio>
#include <vector>

struct RunOptions {
    int32_t windowWidth = 320;
    int32_t windowHeight = 240;
    const char* settingsPath = "vantle.dat";
    FILE* out = stdout; // state lines
    FILE* err = stderr; // problems with shots
    // Called after every tick with `context`, while the game's state is as
    // that tick left it (a soak checks its rules here); none by default.
    void (*afterTick)(void* context) = nullptr;
    void* context = nullptr;
};

// Starts the game (the window-creation sequence), runs the commands and
// returns the exit code: the game's own when its window was destroyed, else 0.
int32_t RunScript(const std::vector<ScriptCommand>& commands, const RunOptions& options);

// The state line: one JSON object.
void WriteState(FILE* out, uint64_t ticks);
