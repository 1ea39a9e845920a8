// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/run.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/replay.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/app.h"
#include "shell/options_dialog.h"
#include "shell/saved_game.h"
#include "shell/settings.h"
#include "tools/png.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Delivers a message the way the game's loop does: accelerators first.
void Deliver(const Event& e) {
    if (!TranslateAccelerator(e)) PlatformDispatchEvent(e);
}

// Events the game posted to itself (a close after the dialog, say).
void DeliverPosted() {
    Event e{};
    while (PlatformWindowAlive(MainWindow) && HeadlessTakePosted(&e)) PlatformDispatchEvent(e);
}

// Whether the pair is on the screen now: in play, and in the resolve tick
// before it lands.
bool PairShown() {
    return Flow.Mode == MODE_PLAY ||
           (Flow.Mode == MODE_RESOLVE && Flow.ResolvePhase == RESOLVE_LAND);
}

// Whether the play screen (and with it the NEXT frame) is on the screen.
bool PanelShown() { return Flow.Mode != MODE_TITLE || Flow.TitleDrawn == 0; }

// Writes `size` bytes to `path`, which must be a regular file or nothing
// yet: a FIFO, a device or a folder is refused, never waited on. False,
// with the reason in `why`, when the file is not written whole.
bool WriteOut(const char* path, const uint8_t* bytes, size_t size, const char** why) {
    int fd;
    while ((fd = open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666)) < 0 &&
           errno == EINTR) {
    }
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        // A FIFO that no one reads refuses to open without waiting (ENXIO).
        *why = fd >= 0 || errno == ENXIO ? "not a regular file" : std::strerror(errno);
        if (fd >= 0) close(fd);
        return false;
    }
    bool ok = ftruncate(fd, 0) == 0;
    for (size_t done = 0; ok && done < size;) {
        const ssize_t n = write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    if (!ok) *why = std::strerror(errno != 0 ? errno : EIO);
    if (close(fd) != 0 && errno != EINTR && ok) {
        *why = std::strerror(errno);
        ok = false;
    }
    return ok;
}

// The visible picture as a PNG.
bool WriteShot(const char* path, const char** why) {
    const std::vector<uint8_t> png = EncodePng(Layout.BackBuffer.Pixels, Layout.LogicalWidth,
                                               Layout.LogicalHeight, Layout.BackBuffer.Width);
    if (png.empty()) {
        *why = "the picture cannot be encoded";
        return false;
    }
    return WriteOut(path, png.data(), png.size(), why);
}

// The replay of the game in progress, or of the last one ended, as one line.
bool WriteReplay(const char* path, const char** why) {
    static char text[ReplayMaxText + 1];
    const int32_t n = ReplayCode(text, ReplayMaxText);
    if (n <= 0) {
        *why = "no game has been played";
        return false;
    }
    text[n] = '\n';
    return WriteOut(path, reinterpret_cast<const uint8_t*>(text), static_cast<size_t>(n) + 1, why);
}

// The state of one run.
struct Run {
    const RunOptions* options;
    uint64_t ticks;
};

// Runs one command. 1 to go on; 0 once the window is gone (the game has
// ended: the rest is not run); -1 when the command failed.
int32_t RunCommand(Run& run, const ScriptCommand& c) {
    const RunOptions& options = *run.options;
    switch (c.kind) {
    case SIM_DOWN: Deliver(KeyEvent(EVENT_KEY_DOWN, c.args[0])); break;
    case SIM_UP: Deliver(KeyEvent(EVENT_KEY_UP, c.args[0])); break;
    case SIM_PEN:
        Deliver(PenEvent(EVENT_PEN_DOWN, 0, static_cast<int32_t>(c.args[0]),
                         static_cast<int32_t>(c.args[1])));
        break;
    case SIM_PENUP: Deliver(PenEvent(EVENT_PEN_UP, 0, 0, 0)); break;
    case SIM_COMMAND: Deliver(CommandEvent(static_cast<int32_t>(c.args[0]))); break;
    case SIM_TICK:
        for (uint32_t i = 0; i < c.args[0] && PlatformWindowAlive(MainWindow); ++i) {
            ++run.ticks;
            Deliver(TimerEvent(GameTimerId, 0));
            DeliverPosted();
            if (options.afterTick != nullptr) options.afterTick(options.context);
        }
        break;
    case SIM_DIALOG:
        // The answer the next Options dialog gets: its four boxes as
        // given, then OK or CANCEL.
        for (int32_t i = 0; i < 4; ++i)
            HeadlessQueueModalEvent(
                CheckEvent(IDC_REPEAT_FIRST + i, static_cast<int32_t>(c.args[i])));
        HeadlessQueueModalEvent(CommandEvent(static_cast<int32_t>(c.args[4])));
        break;
    case SIM_CELL: {
        const auto col = static_cast<int32_t>(c.args[0]), row = static_cast<int32_t>(c.args[1]);
        PutArrow(col, row, static_cast<uint8_t>(c.args[2]));
        if (c.args[2] == 0)
            EraseCell(col, row);
        else
            DrawCell(col, row, static_cast<int32_t>(c.args[2]));
        // The game set from outside: its replay says so.
        ReplayRecordState();
        break;
    }
    case SIM_PAIR:
        SetPairArrows(static_cast<uint8_t>(c.args[0]), static_cast<uint8_t>(c.args[1]));
        if (PairShown()) DrawPair();
        ReplayRecordState();
        break;
    case SIM_NEXT:
        SetNextArrows(static_cast<uint8_t>(c.args[0]), static_cast<uint8_t>(c.args[1]));
        if (PanelShown()) DrawNextPair();
        ReplayRecordState();
        break;
    case SIM_STATE: WriteState(options.out, run.ticks); break;
    case SIM_SHOT:
    case SIM_REPLAY: {
        const char* why = "";
        const bool written = c.kind == SIM_SHOT ? WriteShot(c.file.c_str(), &why)
                                                : WriteReplay(c.file.c_str(), &why);
        if (!written) {
            std::fprintf(options.err, "vantle-sim: line %d: cannot write %s: %s\n", c.line,
                         c.file.c_str(), why);
            return -1;
        }
        break;
    }
    case SIM_CLOSE: PlatformDestroyWindow(MainWindow); break;
    // As an ending signal: the window is asked to close, as the desktop
    // asks it, and the game in progress is kept with the settings.
    case SIM_SUSPEND: PlatformDispatchEvent(MakeEvent(EVENT_CLOSE)); break;
    default: break;
    }
    DeliverPosted();
    return PlatformWindowAlive(MainWindow) ? 1 : 0;
}

// The exit code once a command has stopped the run.
int32_t Stopped(int32_t result) { return result < 0 ? SimExitFailed : PlatformQuitCode(); }
} // namespace

int32_t RunScript(const std::vector<ScriptCommand>& commands, const RunOptions& options) {
    HeadlessSetWindowSize(options.windowWidth, options.windowHeight);
    SetSettingsPath(options.settingsPath);
    SetGamePath(options.gamePath);
    if (CreateMainWindow() == 0) return 0;
    Run run{&options, 0};
    for (const ScriptCommand& c : commands) {
        const int32_t r = RunCommand(run, c);
        if (r <= 0) return Stopped(r);
    }
    return 0;
}

int32_t RunScriptText(const char* text, size_t size, const RunOptions& options) {
    HeadlessSetWindowSize(options.windowWidth, options.windowHeight);
    SetSettingsPath(options.settingsPath);
    SetGamePath(options.gamePath);
    if (CreateMainWindow() == 0) return 0;
    Run run{&options, 0};
    ScriptReader reader{};
    StartScript(&reader, text, size);
    ScriptCommand c{};
    ScriptError error{};
    while (NextCommand(&reader, &c, &error) > 0) {
        const int32_t r = RunCommand(run, c);
        if (r <= 0) return Stopped(r);
    }
    return 0;
}

int32_t RunReplay(const char* path, const RunOptions& options) {
    // No settings and no kept game: a replay starts from its own.
    static char text[ReplayMaxText + 2];
    const int32_t size = FileRead(path, reinterpret_cast<uint8_t*>(text), ReplayMaxText + 1);
    if (size < 0) {
        std::fprintf(options.err, "vantle-sim: cannot read the replay %s\n", path);
        return SimExitUsage;
    }
    HeadlessSetWindowSize(options.windowWidth, options.windowHeight);
    SetSettingsPath("");
    SetGamePath("");
    if (CreateMainWindow() == 0) return SimExitUsage;
    const int32_t loaded = size > ReplayMaxText ? static_cast<int32_t>(REPLAY_DAMAGED)
                                                : ReplayLoad(text, static_cast<size_t>(size));
    if (loaded != REPLAY_LOADED) {
        std::fprintf(options.err, "vantle-sim: %s: %s\n", path, ReplayLoadProblem(loaded));
        return SimExitUsage;
    }
    DrawGame();
    uint64_t ticks = 0;
    while (ReplayStep()) {
        ++ticks;
        GameTick();
        if (options.afterTick != nullptr) options.afterTick(options.context);
    }
    WriteState(options.out, ticks);
    if (ReplayEndsRight()) return 0;
    std::fprintf(options.err,
                 "vantle-sim: %s does not end where it says: after its %llu ticks the score is "
                 "%d where it says %d, and the game's state differs\n",
                 path, static_cast<unsigned long long>(ticks), Board.Score, ReplayEndScore());
    return SimExitFailed;
}
