// SPDX-License-Identifier: GPL-3.0-or-later
// vantle-sim: plays the game's own code from a script, with no window and no
// clock. See the README for the commands.
#include "tools/sim/run.h"
#include "tools/sim/script.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {
constexpr int ExitUsage = 2;

constexpr const char* UsageLine =
    "usage: vantle-sim [--window WxH] [--settings PATH] [--game PATH] [SCRIPT]\n"
    "       vantle-sim [--window WxH] --replay FILE\n";
constexpr const char* HelpText =
    "Plays vantle's own code from a script (a file, or - or nothing for standard input),\n"
    "with no window and no clock; see vantle-sim(6) for the commands.\n"
    "  --window WxH     the window's size in pixels (default 320x240)\n"
    "  --settings PATH  the settings file (default vantle.dat in the current folder)\n"
    "  --game PATH      the game in progress (default vantle.sav beside the settings file)\n"
    "  --replay FILE    play the replay in FILE as fast as it can and print its last state;\n"
    "                   exit 0 when it ends where it says, 1 when not, 2 when FILE is no replay\n"
    "  --help           show this and exit\n"
    "  --version        show the version and exit\n";
constexpr const char* VersionText = "vantle-sim " VANTLE_VERSION "\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "vantle-sim: %s\n", problem);
    std::fputs(UsageLine, stderr);
    return ExitUsage;
}

// --help and --version answer on standard output; a failed write is a
// failure, not a success.
int Answer(const char* first, const char* second) {
    std::fputs(first, stdout);
    std::fputs(second, stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

bool ParseSize(const char* text, int32_t* w, int32_t* h) {
    int32_t values[2] = {0, 0};
    int32_t index = 0;
    size_t digits = 0;
    for (const char* p = text;; ++p) {
        if (*p >= '0' && *p <= '9') {
            if (++digits > 5) return false;
            values[index] = values[index] * 10 + (*p - '0');
        } else if ((*p == 'x' || *p == 'X') && index == 0 && digits > 0) {
            index = 1;
            digits = 0;
        } else if (*p == 0 && index == 1 && digits > 0) {
            break;
        } else {
            return false;
        }
    }
    // The pen packs window positions into 16 bits each.
    if (values[0] < 1 || values[1] < 1 || values[0] > 16384 || values[1] > 16384) return false;
    *w = values[0];
    *h = values[1];
    return true;
}

// The longest line and the longest script taken: input that is no script
// (a device's endless bytes, a binary file) is refused before it costs
// more memory than that.
constexpr size_t MaxLineBytes = 8192;
constexpr size_t MaxScriptBytes = size_t{1} << 30;

// The whole script, each line checked as soon as it has come whole, so that
// the first bad line stops the reading. A file's size is known before it is
// read, so the text takes no more memory than the file. False with the
// reason in `error` (line 0: the input itself).
bool ReadScript(FILE* in, std::string* text, ScriptError* error) {
    struct stat info {};
    if (fstat(fileno(in), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        static_cast<size_t>(info.st_size) < MaxScriptBytes)
        text->reserve(static_cast<size_t>(info.st_size) + 1);
    char buffer[65536];
    size_t n;
    size_t checked = 0; // the whole lines up to here are good
    int32_t lines = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        if (text->size() + n > MaxScriptBytes) {
            *error = ScriptError{0, "the script is longer than 1 GiB"};
            return false;
        }
        text->append(buffer, n);
        const size_t end = text->rfind('\n');
        if (end != std::string::npos && end + 1 > checked) {
            ScriptReader reader{};
            StartScript(&reader, text->data() + checked, end + 1 - checked);
            reader.line = lines;
            ScriptCommand c{};
            int32_t r;
            while ((r = NextCommand(&reader, &c, error)) > 0) {
            }
            if (r < 0) return false;
            lines = reader.line;
            checked = end + 1;
        }
        if (text->size() - checked > MaxLineBytes) {
            *error = ScriptError{lines + 1, "longer than 8192 bytes: this is no script"};
            return false;
        }
    }
    if (std::ferror(in)) *error = ScriptError{0, "cannot read the script"};
    return !std::ferror(in);
}

// A FIFO or a device would be waited on or written over: only a regular
// file, or nothing yet, will do.
bool RegularOrNothing(const char* path) {
    struct stat info {};
    return stat(path, &info) != 0 || S_ISREG(info.st_mode);
}
} // namespace

int main(int argc, char** argv) {
    RunOptions options;
    const char* scriptPath = nullptr;
    std::string gamePath; // empty until given: beside the settings file
    const char* replayPath = nullptr;
    // --help and --version are answered once the whole line is known good.
    const char* answer = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--window") == 0) {
            if (i + 1 >= argc) return Usage("--window needs a size such as 320x240");
            if (!ParseSize(argv[++i], &options.windowWidth, &options.windowHeight))
                return Usage("--window needs a size such as 320x240 (1 to 16384 each way)");
        } else if (std::strcmp(argv[i], "--settings") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == 0) return Usage("--settings needs a file path");
            options.settingsPath = argv[++i];
            if (!RegularOrNothing(options.settingsPath))
                return Usage(
                    (std::string("--settings ") + options.settingsPath + " is not a regular file")
                        .c_str());
        } else if (std::strcmp(argv[i], "--game") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == 0) return Usage("--game needs a file path");
            gamePath = argv[++i];
            if (!RegularOrNothing(gamePath.c_str()))
                return Usage(
                    (std::string("--game ") + gamePath + " is not a regular file").c_str());
        } else if (std::strcmp(argv[i], "--replay") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == 0) return Usage("--replay needs a file");
            replayPath = argv[++i];
            if (!RegularOrNothing(replayPath))
                return Usage(
                    (std::string("--replay ") + replayPath + " is not a regular file").c_str());
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            if (answer == nullptr) answer = HelpText;
        } else if (std::strcmp(argv[i], "--version") == 0) {
            if (answer == nullptr) answer = VersionText;
        } else if (argv[i][0] == '-' && argv[i][1] != 0) {
            return Usage((std::string("unknown option ") + argv[i]).c_str());
        } else if (scriptPath != nullptr) {
            return Usage("only one script may be given");
        } else {
            scriptPath = argv[i];
        }
    }

    if (answer != nullptr) return Answer(answer == HelpText ? UsageLine : "", answer);
    if (replayPath != nullptr) {
        if (scriptPath != nullptr) return Usage("--replay takes no script");
        return RunReplay(replayPath, options);
    }
    if (gamePath.empty()) {
        const std::string settings = options.settingsPath;
        const size_t slash = settings.rfind('/');
        gamePath = (slash == std::string::npos ? std::string() : settings.substr(0, slash + 1)) +
                   "vantle.sav";
    }
    options.gamePath = gamePath.c_str();

    std::string text;
    FILE* in = stdin;
    if (scriptPath != nullptr && std::strcmp(scriptPath, "-") != 0) {
        in = std::fopen(scriptPath, "rb");
        if (in == nullptr) {
            std::fprintf(stderr, "vantle-sim: cannot open script %s\n", scriptPath);
            return ExitUsage;
        }
    }
    // Every line is checked before anything runs; then the commands are read
    // again one at a time as they run, so that no list of them is kept.
    ScriptError error;
    const bool read = ReadScript(in, &text, &error);
    if (in != stdin) std::fclose(in);
    if (!read && error.line == 0) {
        std::fprintf(stderr, "vantle-sim: %s\n", error.message.c_str());
        return ExitUsage;
    }
    if (!read || !CheckScript(text.data(), text.size(), &error)) {
        std::fprintf(stderr, "vantle-sim: line %d: %s\n", error.line, error.message.c_str());
        return ExitUsage;
    }
    return RunScriptText(text.data(), text.size(), options);
}
