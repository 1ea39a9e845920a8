// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/run.h"

#include "game/board.h"
#include "game/flow.h"
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
void Deliver(uint32_t message, uint32_t wParam, int32_t lParam) {
    const Message m{MainWindow, message, wParam, lParam};
    if (!TranslateAccelerator(m)) PlatformDispatchMessage(m);
}

// Messages the game posted to itself (a close after the dialog, say).
void DeliverPosted() {
    Message m{};
    while (PlatformWindowAlive(MainWindow) && HeadlessTakePosted(&m)) PlatformDispatchMessage(m);
}

// Whether the pair is on the screen now: in play, and in the resolve tick
// before it lands.
bool PairShown() {
    return Flow.Mode == MODE_PLAY ||
           (Flow.Mode == MODE_RESOLVE && Flow.ResolvePhase == RESOLVE_LAND);
}

// Whether the play screen (and with it the NEXT frame) is on the screen.
bool PanelShown() { return Flow.Mode != MODE_TITLE || Flow.TitleDrawn == 0; }

// Writes the visible picture as a PNG to `path`, which must be a regular file
// or nothing yet: a FIFO, a device or a folder is refused, never waited on.
// False, with the reason in `why`, when the file is not written whole.
bool WriteShot(const char* path, const char** why) {
    const std::vector<uint8_t> png = EncodePng(Layout.BackBuffer.Pixels, Layout.LogicalWidth,
                                               Layout.LogicalHeight, Layout.BackBuffer.Width);
    if (png.empty()) {
        *why = "the picture cannot be encoded";
        return false;
    }
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
    for (size_t done = 0; ok && done < png.size();) {
        const ssize_t n = write(fd, png.data() + done, png.size() - done);
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
    case SIM_DOWN: Deliver(MSG_KEYDOWN, c.args[0], 0); break;
    case SIM_UP: Deliver(MSG_KEYUP, c.args[0], 0); break;
    case SIM_PEN:
        Deliver(MSG_PENDOWN, 1,
                PackPosition(static_cast<int32_t>(c.args[0]), static_cast<int32_t>(c.args[1])));
        break;
    case SIM_PENUP: Deliver(MSG_PENUP, 0, 0); break;
    case SIM_COMMAND: Deliver(MSG_COMMAND, c.args[0], 0); break;
    case SIM_TICK:
        for (uint32_t i = 0; i < c.args[0] && PlatformWindowAlive(MainWindow); ++i) {
            ++run.ticks;
            Deliver(MSG_TIMER, GameTimerId, 0);
            DeliverPosted();
            if (options.afterTick != nullptr) options.afterTick(options.context);
        }
        break;
    case SIM_DIALOG:
        // The answer the next Options dialog gets: its four boxes as
        // given, then OK or CANCEL.
        for (int32_t i = 0; i < 4; ++i)
            HeadlessQueueModalMessage(
                Message{MainWindow, MSG_SETCHECK, c.args[i], IDC_REPEAT_FIRST + i});
        HeadlessQueueModalMessage(Message{MainWindow, MSG_COMMAND, c.args[4], 0});
        break;
    case SIM_CELL: {
        const auto col = static_cast<int32_t>(c.args[0]), row = static_cast<int32_t>(c.args[1]);
        BoardCell(col, row) = static_cast<uint8_t>(c.args[2]);
        if (c.args[2] == 0)
            EraseCell(col, row);
        else
            DrawCell(col, row, static_cast<int32_t>(c.args[2]));
        break;
    }
    case SIM_PAIR:
        Board.Pair.CurrentTop = static_cast<uint8_t>(c.args[0]);
        Board.Pair.CurrentBottom = static_cast<uint8_t>(c.args[1]);
        if (PairShown()) DrawPair();
        break;
    case SIM_NEXT:
        Board.Pair.NextTop = static_cast<uint8_t>(c.args[0]);
        Board.Pair.NextBottom = static_cast<uint8_t>(c.args[1]);
        if (PanelShown()) DrawNextPair();
        break;
    case SIM_STATE: WriteState(options.out, run.ticks); break;
    case SIM_SHOT: {
        const char* why = "";
        if (!WriteShot(c.file.c_str(), &why)) {
            std::fprintf(options.err, "vantle-sim: line %d: cannot write %s: %s\n", c.line,
                         c.file.c_str(), why);
            return -1;
        }
        break;
    }
    case SIM_CLOSE: PlatformDestroyWindow(MainWindow); break;
    // As an ending signal: the window is asked to close, as the desktop
    // asks it, and the game in progress is kept with the settings.
    case SIM_SUSPEND: PlatformDispatchMessage(Message{MainWindow, MSG_CLOSE, 0, 0}); break;
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
