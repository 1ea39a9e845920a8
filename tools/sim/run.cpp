#include "tools/sim/run.h"

#include "game/board.h"
#include "game/flow.h"
#include "platform/headless/headless.h"
#include "render/draw.h"
#include "render/layout.h"
#include "shell/app.h"
#include "shell/options_dialog.h"
#include "shell/settings.h"
#include "tools/png.h"

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
    return GameMode == MODE_PLAY || (GameMode == MODE_RESOLVE && ResolvePhase == RESOLVE_LAND);
}

// Whether the play screen (and with it the NEXT frame) is on the screen.
bool PanelShown() { return GameMode != MODE_TITLE || TitleDrawn == 0; }
} // namespace

int32_t RunScript(const std::vector<ScriptCommand>& commands, const RunOptions& options) {
    HeadlessSetWindowSize(options.windowWidth, options.windowHeight);
    SetSettingsPath(options.settingsPath);
    if (CreateMainWindow() == 0) return 0;

    uint64_t ticks = 0;
    for (const ScriptCommand& c : commands) {
        switch (c.kind) {
        case SIM_DOWN: Deliver(MSG_KEYDOWN, c.args[0], 0); break;
        case SIM_UP: Deliver(MSG_KEYUP, c.args[0], 0); break;
        case SIM_PEN:
            Deliver(MSG_PENDOWN, 1, PackPosition(static_cast<int32_t>(c.args[0]), static_cast<int32_t>(c.args[1])));
            break;
        case SIM_PENUP: Deliver(MSG_PENUP, 0, 0); break;
        case SIM_COMMAND: Deliver(MSG_COMMAND, c.args[0], 0); break;
        case SIM_TICK:
            for (uint32_t i = 0; i < c.args[0] && PlatformWindowAlive(MainWindow); ++i) {
                ++ticks;
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
            FallingPair.CurrentTop = static_cast<uint8_t>(c.args[0]);
            FallingPair.CurrentBottom = static_cast<uint8_t>(c.args[1]);
            if (PairShown()) DrawPair();
            break;
        case SIM_NEXT:
            FallingPair.NextTop = static_cast<uint8_t>(c.args[0]);
            FallingPair.NextBottom = static_cast<uint8_t>(c.args[1]);
            if (PanelShown()) DrawNextPair();
            break;
        case SIM_STATE: WriteState(options.out, ticks); break;
        case SIM_SHOT:
            if (!WritePng(c.file.c_str(), BackBuffer.Pixels, Layout.LogicalWidth, Layout.LogicalHeight,
                          BackBuffer.Width))
                std::fprintf(options.err, "vantle-sim: line %d: cannot write %s\n", c.line, c.file.c_str());
            break;
        case SIM_CLOSE: PlatformDestroyWindow(MainWindow); break;
        default: break;
        }
        DeliverPosted();
        // Once the window is gone the game has ended: the rest is not run.
        if (!PlatformWindowAlive(MainWindow)) return PlatformQuitCode();
    }
    return 0;
}
