// SPDX-License-Identifier: GPL-3.0-or-later
// How many of the coming ticks are idle: what the loop may sleep through.
#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "input/buttons.h"
#include "input/input_state.h"

namespace {

// Whether a key held now makes an action of the next play tick: one that
// follows the held keys repeats while its key is down.
bool HeldKeyActs() {
    const uint16_t held = InputState.HeldKeys;
    return (Flow.KeyRepeat[REPEAT_ROTATION] != 0 && (held & (KEY_UP | KEY_ENTER)) != 0) ||
           (Flow.KeyRepeat[REPEAT_LEFT] != 0 && (held & KEY_LEFT) != 0) ||
           (Flow.KeyRepeat[REPEAT_RIGHT] != 0 && (held & KEY_RIGHT) != 0) ||
           (Flow.KeyRepeat[REPEAT_DROP] != 0 && (held & KEY_DOWN) != 0);
}

int32_t Sooner(int32_t a, int32_t b) {
    if (a == IDLE_UNTIL_INPUT) return b;
    if (b == IDLE_UNTIL_INPUT) return a;
    return a < b ? a : b;
}

int32_t PlayIdleTicks() {
    if (HeldKeyActs()) return 0;
    int32_t idle = IDLE_UNTIL_INPUT;
    // The message is blanked on the tick that counts its timer down to 0.
    if (Match.MessageTimer < 0) return 0;
    if (Match.MessageTimer > 0) idle = Match.MessageTimer - 1;
    if (Flow.FallStep == 1) {
        // Each tick adds one; the pair falls (or locks) on the tick that
        // takes the counter past the interval.
        const uint32_t counter = Board.FallCounter, interval = Board.FallInterval;
        const uint32_t until = counter < interval ? interval - counter : 0;
        idle = Sooner(idle, until > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(until));
    } else if (Flow.FallStep != 0) {
        return 0;
    }
    return idle;
}
} // namespace

int32_t IdleTicksAhead() {
    // A button shown pressed is raised on the next tick, and a tap waiting
    // for a tick of its own is taken by it.
    if (Buttons.ReleasePending != 0 || TapPending()) return 0;
    switch (Flow.Mode) {
    case MODE_TITLE: return Flow.TitleDrawn != 0 ? IDLE_UNTIL_INPUT : 0;
    case MODE_PLAY: return PlayIdleTicks();
    case MODE_RESOLVE:
        // The two pause ticks after a scoring pass only count.
        if (Flow.ResolvePhase == RESOLVE_PAUSE1) return 2;
        if (Flow.ResolvePhase == RESOLVE_PAUSE2) return 1;
        return 0;
    case MODE_GAMEOVER: {
        // The count runs up to the cue on 3, then up to the end on 60.
        const int32_t ticks = Flow.GameOverTicks;
        if (ticks == 1 || ticks == 2) return 3 - ticks;
        if (ticks >= 4 && ticks < GameOverLength) return GameOverLength - ticks;
        return 0;
    }
    default: return IDLE_UNTIL_INPUT;
    }
}
