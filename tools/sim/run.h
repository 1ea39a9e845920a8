// SPDX-License-Identifier: GPL-3.0-or-later
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
    // The saved game: read at start, written as the game writes it; empty
    // for none (vantle-sim puts it beside the settings file).
    const char* gamePath = "";
    FILE* out = stdout; // state lines
    FILE* err = stderr; // a command that failed
    // Called after every tick with `context`, while the game's state is as
    // that tick left it (a soak checks its rules here); none by default.
    void (*afterTick)(void* context) = nullptr;
    void* context = nullptr;
};

// The exit code of a run stopped by a command that failed (a shot that could
// not be written), said on `err`; a script refused before it runs is 2.
constexpr int32_t SimExitFailed = 1;
// Nothing ran: a bad option, script or replay.
constexpr int32_t SimExitUsage = 2;

// Starts the game (the window-creation sequence), runs the commands and
// returns the exit code: the game's own when its window was destroyed,
// SimExitFailed when a command failed (the rest is not run), else 0.
int32_t RunScript(const std::vector<ScriptCommand>& commands, const RunOptions& options);
// The same for a script's text, read a command at a time as it runs; the
// text must have passed CheckScript.
int32_t RunScriptText(const char* text, size_t size, const RunOptions& options);

// Plays the replay in the file at `path` as fast as it can and writes the
// state it ends in (the state line): 0 when it ends where the replay says,
// SimExitFailed when it does not, SimExitUsage when the file is no replay.
int32_t RunReplay(const char* path, const RunOptions& options);

// The state line: one JSON object.
void WriteState(FILE* out, uint64_t ticks);
