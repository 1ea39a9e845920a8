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
};

struct ScriptCommand {
    int32_t kind;
    int32_t line;
    uint32_t args[5];
    std::string file; // for shot
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
