// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/script.h"

#include <cstring>

namespace {
struct Limits {
    const char* name;
    int32_t kind;
    int32_t count; // numeric arguments
    uint32_t min[5];
    uint32_t max[5];
};

// Every command with its numeric arguments and their ranges. `tick` and
// `dialog` and `shot` are read by hand below.
constexpr Limits Table[] = {
    {"down", SIM_DOWN, 1, {0}, {65535}},
    {"up", SIM_UP, 1, {0}, {65535}},
    {"pen", SIM_PEN, 2, {0, 0}, {65535, 65535}},
    {"penup", SIM_PENUP, 0, {}, {}},
    {"cmd", SIM_COMMAND, 1, {0}, {65535}},
    {"cell", SIM_CELL, 3, {0, 0, 0}, {6, 12, 4}},
    {"pair", SIM_PAIR, 2, {1, 1}, {4, 4}},
    {"next", SIM_NEXT, 2, {1, 1}, {4, 4}},
    {"state", SIM_STATE, 0, {}, {}},
    {"close", SIM_CLOSE, 0, {}, {}},
    {"suspend", SIM_SUSPEND, 0, {}, {}},
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Splits a line into words; false if there are more than fit.
bool Words(const char* p, const char* end, std::string* words, int32_t max, int32_t* count) {
    *count = 0;
    while (p < end) {
        while (p < end && IsSpace(*p)) ++p;
        if (p == end) break;
        const char* start = p;
        while (p < end && !IsSpace(*p)) ++p;
        if (*count == max) return false;
        words[(*count)++].assign(start, p);
    }
    return true;
}

// A decimal number in [min, max]; a sign, a blank or any other character
// makes it no number.
bool Number(const std::string& word, uint32_t min, uint32_t max, uint32_t* value) {
    if (word.empty() || word.size() > 10) return false;
    uint64_t v = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v < min || v > max) return false;
    *value = static_cast<uint32_t>(v);
    return true;
}

// A bad line: says which and why.
int32_t Fail(ScriptError* error, int32_t line, const std::string& message) {
    error->line = line;
    error->message = message;
    return -1;
}
} // namespace

void StartScript(ScriptReader* reader, const char* text, size_t size) {
    reader->next = text;
    reader->end = text + size;
    reader->line = 0;
}

int32_t NextCommand(ScriptReader* reader, ScriptCommand* command, ScriptError* error) {
    const char* end = reader->end;
    while (reader->next < end) {
        const int32_t line = ++reader->line;
        const char* p = reader->next;
        const char* eol =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (eol == nullptr) eol = end;
        const char* q = p;
        reader->next = eol + 1;
        while (q < eol && IsSpace(*q)) ++q;
        if (q == eol || *q == '#') continue;
        if (std::memchr(q, 0, static_cast<size_t>(eol - q)) != nullptr)
            return Fail(error, line, "a NUL byte in the line");

        std::string words[8];
        int32_t count = 0;
        if (!Words(q, eol, words, 8, &count)) return Fail(error, line, "too many words");
        ScriptCommand& c = *command;
        c = ScriptCommand{};
        c.line = line;
        const std::string& name = words[0];

        if (name == "tick") {
            c.kind = SIM_TICK;
            c.args[0] = 1;
            if (count > 2) return Fail(error, line, "tick takes at most one number");
            if (count == 2 && !Number(words[1], 0, MaxTicksPerLine, &c.args[0]))
                return Fail(error, line, "tick needs a count from 0 to 1000000000");
        } else if (name == "dialog") {
            c.kind = SIM_DIALOG;
            if (count != 6)
                return Fail(error, line, "dialog needs four 0/1 values and ok or cancel");
            for (int32_t i = 0; i < 4; ++i)
                if (!Number(words[1 + i], 0, 1, &c.args[i]))
                    return Fail(error, line, "dialog check box values are 0 or 1");
            if (words[5] == "ok")
                c.args[4] = 1;
            else if (words[5] == "cancel")
                c.args[4] = 2;
            else
                return Fail(error, line, "dialog ends with ok or cancel");
        } else if (name == "shot" || name == "replay") {
            c.kind = name == "shot" ? SIM_SHOT : SIM_REPLAY;
            // The file is the rest of the line, so a path may hold blanks.
            const size_t length = name.size();
            const char* f = q + length;
            while (f < eol && IsSpace(*f)) ++f;
            const char* fend = eol;
            while (fend > f && IsSpace(fend[-1])) --fend;
            if (f == fend || !IsSpace(q[length]))
                return Fail(error, line, name + " needs a file name");
            c.file.assign(f, fend);
        } else {
            const Limits* found = nullptr;
            for (const Limits& l : Table)
                if (name == l.name) found = &l;
            if (found == nullptr) {
                // Said as it can be read: what is not printable is a '?'.
                std::string shown = name.substr(0, 40);
                for (char& ch : shown)
                    if (ch < 0x20 || ch > 0x7E) ch = '?';
                return Fail(error, line, "unknown command '" + shown + "'");
            }
            c.kind = found->kind;
            if (count - 1 != found->count)
                return Fail(error, line,
                            name + " takes " + std::to_string(found->count) + " number(s)");
            for (int32_t i = 0; i < found->count; ++i)
                if (!Number(words[1 + i], found->min[i], found->max[i], &c.args[i]))
                    return Fail(error, line,
                                name + " argument " + std::to_string(i + 1) +
                                    " must be a number from " + std::to_string(found->min[i]) +
                                    " to " + std::to_string(found->max[i]));
        }
        return 1;
    }
    return 0;
}

bool CheckScript(const char* text, size_t size, ScriptError* error) {
    ScriptReader reader{};
    StartScript(&reader, text, size);
    ScriptCommand c{};
    int32_t r;
    while ((r = NextCommand(&reader, &c, error)) > 0) {
    }
    return r == 0;
}

bool ParseScript(const char* text, size_t size, std::vector<ScriptCommand>* commands,
                 ScriptError* error) {
    commands->clear();
    ScriptReader reader{};
    StartScript(&reader, text, size);
    ScriptCommand c{};
    int32_t r;
    while ((r = NextCommand(&reader, &c, error)) > 0) commands->push_back(c);
    return r == 0;
}
