// SPDX-License-Identifier: GPL-3.0-or-later
// The runner's script: one command a line, read and checked whole before
// anything runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum CommandKind : int32_t {
    SIM_DOWN,
    SIM_UP,
    SIM_PEN,
    SIM_PENUP,
    SIM_COMMAND,
    SIM_TICK,
    SIM_DIALOG,
    SIM_CELL,
    SIM_PAIR,
    SIM_NEXT,
    SIM_STATE,
    SIM_SHOT,
    SIM_CLOSE,
    SIM_SUSPEND,
    SIM_REPLAY,
};

struct ScriptCommand {
    int32_t kind;
    int32_t line;
    uint32_t args[5];
    std::string file; // for shot and replay
};

struct ScriptError {
    int32_t line; // 1-based
    std::string message;
};

// The most ticks one `tick` line may ask for.
constexpr uint32_t MaxTicksPerLine = 1000000000u;

// Parses a whole script. On a bad line returns false and says which and why.
bool ParseScript(const char* text, size_t size, std::vector<ScriptCommand>* commands,
                 ScriptError* error);

// Reads a script's text a command at a time, keeping nothing but its place,
// so that a long script costs no more memory than its text.
struct ScriptReader {
    const char* next;
    const char* end;
    int32_t line; // of the command read last
};
void StartScript(ScriptReader* reader, const char* text, size_t size);
// The next command: 1 when one was read into `command`, 0 at the end of the
// script, -1 on a bad line (`error` says which and why).
int32_t NextCommand(ScriptReader* reader, ScriptCommand* command, ScriptError* error);
// Whether every line of the script is good; on a bad line, which and why.
bool CheckScript(const char* text, size_t size, ScriptError* error);
