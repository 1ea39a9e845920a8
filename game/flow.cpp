// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/flow.h"

#include "game/board.h"
#include "game/match.h"
#include "game/report.h"
#include "input/buttons.h"
#include "input/input_state.h"

FlowState Flow{MODE_TITLE, 0, 1, 0, 0, {}, 0};

bool IsOptionsKey(uint16_t c) { return c == VK_O || c == 'o'; }
bool IsSoundKey(uint16_t c) { return c == VK_S || c == 's'; }

namespace {

// An action follows the held keys when its repeat choice is on, otherwise
// only the keys newly pressed this tick. A tap already let go is pressed
// but no longer held: it acts once either way.
uint16_t ActionInput(int32_t choice) {
    const uint16_t pressed = InputState.PressedKeys;
    return Flow.KeyRepeat[choice] != 0 ? static_cast<uint16_t>(InputState.HeldKeys | pressed)
                                       : pressed;
}

void MovePair(int32_t dc) {
    if (!PairFits(Board.Pair.PairColumn + dc, Board.Pair.PairRow)) return;
    ReportPairGone();
    Board.Pair.PairColumn += dc;
    ReportPair();
}
} // namespace

void ShowReleased() {
    const int32_t button = ReleaseButton();
    if (button >= 0) ReportButton(button, 0);
}

void ResetGameFlow() { Flow = FlowState{MODE_TITLE, 0, 1, 0, 0, {}, 0}; }

void EnterTitle() { Flow.Mode = MODE_TITLE; }

void SetKeyRepeat(const int32_t choices[4]) {
    for (int32_t i = 0; i < 4; ++i) Flow.KeyRepeat[i] = choices[i];
}

void ResetGame() {
    ResetBoardModule();
    ResetMatchState();
    ResetGameFlow();
    ResetButtons();
    ResetInputState();
}

bool SoundOn() { return ButtonState(BUTTON_SOUND) == 1; }

void PlaySound(int32_t cue) {
    if (SoundOn()) ReportSound(cue);
}

void ShowPressed(int32_t button) {
    PressButton(button);
    ReportButton(button, 1);
}

bool PairShown() {
    return Flow.Mode == MODE_PLAY ||
           (Flow.Mode == MODE_RESOLVE && Flow.ResolvePhase == RESOLVE_LAND);
}

bool PlayScreenShown() { return Flow.Mode != MODE_TITLE || Flow.TitleDrawn == 0; }

int32_t GameTick() {
    ShowReleased();
    switch (Flow.Mode) {
    case MODE_TITLE: return TitleTick();
    case MODE_PLAY: return PlayTick();
    case MODE_RESOLVE: return ResolveTick();
    case MODE_GAMEOVER: return GameOverTick();
    default: return 0;
    }
}

int32_t TitleTick() {
    if (Flow.TitleDrawn == 0) {
        // Input is not looked at on the tick that draws the title.
        Flow.TitleDrawn = 1;
        ReportTitleScreen();
        Board.FallCounter = 0;
        return 0;
    }
    Board.FallCounter++; // title ticks; the next game is seeded with the count
    const uint16_t c = InputState.NewChar;
    if (c == VK_ESCAPE) {
        ShowPressed(BUTTON_QUIT);
        return -1;
    }
    if (IsOptionsKey(c)) {
        ShowPressed(BUTTON_OPTIONS);
        return 0;
    }
    if (IsSoundKey(c)) {
        ShowPressed(BUTTON_SOUND);
        return 0;
    }
    // Any other key, or a tap anywhere, starts a game.
    if (c != 0 || InputState.PressedKeys != 0) {
        Flow.TitleDrawn = 0;
        Flow.Mode = MODE_PLAY;
        StartPlay();
        ShowPressed(BUTTON_ROTATE);
    }
    return 0;
}

void ClearPlayfield() {
    ResetBoard();
    Match.Message[0] = 0;
}

void StartPlay() {
    NewGame();
    ClearPlayfield();
    Flow.NextShown = 1;
    ReportPlayScreen();
    ReportPair();
    ReportNextPair();
    // Keys still held from the title screen are forgotten.
    ForgetHeldKeys();
}

void NewGame() {
    ForgetPressedButton();
    Board.Score = 0;
    Board.PanelScore = 0;
    Board.FallInterval = StartFallInterval;
    Board.PairsSinceSpeedUp = 0;
    Match.MessageTimer = 0;
    SeedRandom(Board.FallCounter);
}

void PausePlay() {
    if (Flow.Mode != MODE_PLAY || Flow.FallStep == 0) return;
    // A button still shown pressed from the last tick is raised first, as
    // the next tick would have done.
    ShowReleased();
    ShowPressed(BUTTON_PAUSE);
    Flow.FallStep = 0;
}

void ResumeGame() {
    ResetInputState();
    if (Flow.FallStep == 0) return;
    if (Flow.Mode == MODE_PLAY) {
        SetLatchedInput(0, 0, VK_SPACE);
        GameTick();
        // The key is let go before the next tick, as a press of Space is.
        ResetInputState();
    } else if (Flow.Mode == MODE_RESOLVE) {
        ShowReleased();
        ShowPressed(BUTTON_PAUSE);
        Flow.FallStep = 0;
    }
}

int32_t PlayTick() {
    if (Match.MessageTimer != 0) {
        Match.MessageTimer--;
        if (Match.MessageTimer == 0) ShowMessage("");
    }

    const uint16_t c = InputState.NewChar;
    if (c == VK_ESCAPE) {
        ShowPressed(BUTTON_QUIT);
        return -1;
    }
    if (c == VK_SPACE) {
        ShowPressed(BUTTON_PAUSE);
        Flow.FallStep = 1 - Flow.FallStep;
    } else if (IsOptionsKey(c)) {
        ShowPressed(BUTTON_OPTIONS);
    } else if (IsSoundKey(c)) {
        ShowPressed(BUTTON_SOUND);
    }

    FallingPairState& pair = Board.Pair;
    // At most one action a tick, in this order of precedence. A blocked move
    // still shows its button pressed.
    if (ActionInput(REPEAT_ROTATION) & (KEY_UP | KEY_ENTER)) {
        ShowPressed(BUTTON_ROTATE);
        ReportPairGone();
        pair.CurrentTop = QuarterTurn(pair.CurrentTop);
        pair.CurrentBottom = QuarterTurn(pair.CurrentBottom);
        ReportPair();
    } else if (ActionInput(REPEAT_LEFT) & KEY_LEFT) {
        ShowPressed(BUTTON_LEFT);
        MovePair(-1);
    } else if (ActionInput(REPEAT_RIGHT) & KEY_RIGHT) {
        ShowPressed(BUTTON_RIGHT);
        MovePair(+1);
    } else if (ActionInput(REPEAT_DROP) & KEY_DOWN) {
        ShowPressed(BUTTON_DROP);
        Board.FallCounter = Board.FallInterval; // the fall below becomes due now
    }

    // While paused FallStep is 0, so the counter only ever equals the
    // interval and nothing falls.
    Board.FallCounter += static_cast<uint32_t>(Flow.FallStep);
    if (Board.FallCounter > Board.FallInterval) {
        Board.FallCounter = 0;
        if (PairFits(pair.PairColumn, pair.PairRow + 1)) {
            ReportPairGone();
            pair.PairRow++;
            ReportPair();
        } else {
            // The pair locks where it is drawn.
            Flow.Mode = MODE_RESOLVE;
        }
    }
    return 0;
}
