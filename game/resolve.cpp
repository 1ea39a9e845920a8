// SPDX-License-Identifier: GPL-3.0-or-later
// After a landing, a tick to each phase: the pair locks, lines of four are
// marked and cleared, the rest falls, the pass is paid, two ticks of pause,
// and the next pass; a pass that removes nothing deals the next pair, or
// ends the game. Then game over's count, back to the title.
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "game/report.h"
#include "input/buttons.h"
#include "input/input_state.h"

int32_t ResolveTick() {
    FallingPairState& pair = Board.Pair;
    // Input is not looked at: Escape, Space, O, S and the arrows pressed
    // while a landing resolves are ignored; only what is pressed or held on
    // a play tick acts.
    switch (Flow.ResolvePhase) {
    case RESOLVE_LAND:
        PlaySound(CUE_LAND);
        BoardCell(pair.PairColumn, pair.PairRow) = pair.CurrentTop;
        BoardCell(pair.PairColumn, pair.PairRow + 1) = pair.CurrentBottom;
        for (auto& count : Match.Map) count = 0;
        Match.ChainCount = 0;
        Match.ChainTotal = 0;
        Flow.ResolvePhase = RESOLVE_MATCH;
        break;
    case RESOLVE_MATCH:
        Match.PassPoints = 0;
        MarkMatches();
        ClearMatches();
        Flow.ResolvePhase = RESOLVE_GRAVITY;
        break;
    case RESOLVE_GRAVITY:
        ApplyGravity();
        Flow.ResolvePhase = RESOLVE_SCORE;
        break;
    case RESOLVE_SCORE:
        if (Match.PassPoints == 0) {
            Flow.ResolvePhase = RESOLVE_END;
        } else {
            ScorePass();
            Flow.ResolvePhase = RESOLVE_PAUSE1;
        }
        break;
    case RESOLVE_PAUSE1: Flow.ResolvePhase = RESOLVE_PAUSE2; break;
    case RESOLVE_PAUSE2: Flow.ResolvePhase = RESOLVE_MATCH; break;
    case RESOLVE_END:
        Flow.ResolvePhase = RESOLVE_LAND;
        // The panel catches up with the sequence's pay; the only place the
        // high score rises.
        Board.PanelScore = Board.Score;
        RaiseHighScore();
        ReportScore();
        ReportHighScore();
        pair.PairColumn = StartColumn;
        pair.PairRow = 0;
        // Columns are packed, so the top cell is taken only if the one below is.
        if (BoardCell(StartColumn, 1) != 0) {
            Flow.Mode = MODE_GAMEOVER;
        } else {
            AdvancePair();
            Flow.Mode = MODE_PLAY;
            ReportPair();
            ReportNextPair();
        }
        break;
    default: break;
    }
    return 0;
}

int32_t GameOverTick() {
    if (InputState.NewChar == VK_ESCAPE) {
        ShowPressed(BUTTON_QUIT);
        return -1;
    }
    switch (Flow.GameOverTicks) {
    case 0:
        ShowMessage("GameOver");
        Flow.GameOverTicks = 1;
        break;
    case 3:
        PlaySound(CUE_GAMEOVER);
        Flow.GameOverTicks = 4;
        break;
    case GameOverLength:
        Flow.Mode = MODE_TITLE;
        Flow.GameOverTicks = 0;
        break;
    default: Flow.GameOverTicks++; break;
    }
    return 0;
}
