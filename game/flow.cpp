// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/flow.h"

#include "game/board.h"
#include "game/match.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "render/draw.h"
#include "shell/cues.h"

int32_t GameMode;
int32_t TitleDrawn;
int32_t FallStep = 1;
int32_t ResolvePhase;
int32_t GameOverTicks;
int32_t KeyRepeat[4];

namespace {
constexpr uint32_t StartFallInterval = 20;
constexpr int32_t GameOverLength = 60;

bool IsOptionsKey(uint16_t c) { return c == VK_O || c == 'o'; }
bool IsSoundKey(uint16_t c) { return c == VK_S || c == 's'; }

// An action follows the held keys when its repeat choice is on, otherwise
// only the keys newly pressed this tick.
uint16_t ActionInput(int32_t choice) {
    return KeyRepeat[choice] != 0 ? InputState.HeldKeys : InputState.PressedKeys;
}

void MovePair(int32_t dc) {
    if (CanPlace(FallingPair.PairColumn + dc, FallingPair.PairRow) != 0) return;
    ErasePair();
    FallingPair.PairColumn += dc;
    DrawPair();
}
} // namespace

void ResetGameFlow() {
    GameMode = MODE_TITLE;
    TitleDrawn = 0;
    FallStep = 1;
    ResolvePhase = 0;
    GameOverTicks = 0;
    for (auto& choice : KeyRepeat) choice = 0;
}

int32_t GameTick(int32_t& mode) {
    ReleaseButton();
    switch (mode) {
    case MODE_TITLE: return TitleTick(mode);
    case MODE_PLAY: return PlayTick(mode);
    case MODE_RESOLVE: return ResolveTick(mode);
    case MODE_GAMEOVER: return GameOverTick(mode);
    default: return 0;
    }
}

int32_t TitleTick(int32_t& mode) {
    if (TitleDrawn == 0) {
        // Input is not looked at on the tick that draws the title.
        DrawTitleScreen();
        FallCounter = 0;
        TitleDrawn = 1;
        return 0;
    }
    FallCounter++; // title ticks; the next game is seeded with the count
    const uint16_t c = InputState.NewChar;
    if (c == VK_ESCAPE) {
        PressButton(BUTTON_QUIT);
        return -1;
    }
    if (IsOptionsKey(c)) {
        PressButton(BUTTON_OPTIONS);
        return 0;
    }
    if (IsSoundKey(c)) {
        PressButton(BUTTON_SOUND);
        return 0;
    }
    // Any other key, or a tap anywhere, starts a game.
    if (c != 0 || InputState.PressedKeys != 0) {
        StartPlay();
        PressButton(BUTTON_ROTATE);
        TitleDrawn = 0;
        mode = MODE_PLAY;
    }
    return 0;
}

void StartPlay() {
    NewGame();
    DrawPlayfield(); // empties the well and deals the first pairs
    DrawPair();
    DrawNextPair();
    // Keys still held from the title screen are forgotten.
    InputState.HeldKeys = 0;
}

void NewGame() {
    ReleasePending = 0;
    Score = 0;
    FallInterval = StartFallInterval;
    PairsSinceSpeedUp = 0;
    MessageTimer = 0;
    SeedRandom(FallCounter);
}

void PausePlay() {
    if (GameMode != MODE_PLAY || FallStep == 0) return;
    // A button still shown pressed from the last tick is raised first, as
    // the next tick would have done.
    ReleaseButton();
    PressButton(BUTTON_PAUSE);
    FallStep = 0;
}

int32_t PlayTick(int32_t& mode) {
    if (MessageTimer != 0) {
        MessageTimer--;
        if (MessageTimer == 0) ShowMessage("");
    }

    const uint16_t c = InputState.NewChar;
    if (c == VK_ESCAPE) {
        PressButton(BUTTON_QUIT);
        return -1;
    }
    if (c == VK_SPACE) {
        PressButton(BUTTON_PAUSE);
        FallStep = 1 - FallStep;
    } else if (IsOptionsKey(c)) {
        PressButton(BUTTON_OPTIONS);
    } else if (IsSoundKey(c)) {
        PressButton(BUTTON_SOUND);
    }

    // At most one action a tick, in this order of precedence. A blocked move
    // still shows its button pressed.
    if (ActionInput(REPEAT_ROTATION) & (KEY_UP | KEY_ENTER)) {
        PressButton(BUTTON_ROTATE);
        ErasePair();
        FallingPair.CurrentTop = QuarterTurn(FallingPair.CurrentTop);
        FallingPair.CurrentBottom = QuarterTurn(FallingPair.CurrentBottom);
        DrawPair();
    } else if (ActionInput(REPEAT_LEFT) & KEY_LEFT) {
        PressButton(BUTTON_LEFT);
        MovePair(-1);
    } else if (ActionInput(REPEAT_RIGHT) & KEY_RIGHT) {
        PressButton(BUTTON_RIGHT);
        MovePair(+1);
    } else if (ActionInput(REPEAT_DROP) & KEY_DOWN) {
        PressButton(BUTTON_DROP);
        FallCounter = FallInterval; // the fall below becomes due now
    }

    // While paused FallStep is 0, so the counter only ever equals the
    // interval and nothing falls.
    FallCounter += static_cast<uint32_t>(FallStep);
    if (FallCounter > FallInterval) {
        FallCounter = 0;
        if (CanPlace(FallingPair.PairColumn, FallingPair.PairRow + 1) == 0) {
            ErasePair();
            FallingPair.PairRow++;
            DrawPair();
        } else {
            // The pair locks where it is drawn.
            mode = MODE_RESOLVE;
        }
    }
    return 0;
}

int32_t ResolveTick(int32_t& mode) {
    // Input is not looked at: Escape, Space, O, S and the arrows wait for
    // the next play tick.
    switch (ResolvePhase) {
    case RESOLVE_LAND:
        PlayCue(CUE_LAND);
        BoardCell(FallingPair.PairColumn, FallingPair.PairRow) = FallingPair.CurrentTop;
        BoardCell(FallingPair.PairColumn, FallingPair.PairRow + 1) = FallingPair.CurrentBottom;
        for (auto& count : MatchMap) count = 0;
        ChainCount = 0;
        ChainTotal = 0;
        ResolvePhase = RESOLVE_MATCH;
        break;
    case RESOLVE_MATCH:
        PassPoints = 0;
        MarkMatches();
        ClearMatches();
        ResolvePhase = RESOLVE_GRAVITY;
        break;
    case RESOLVE_GRAVITY:
        ApplyGravity();
        ResolvePhase = RESOLVE_SCORE;
        break;
    case RESOLVE_SCORE:
        if (PassPoints == 0) {
            ResolvePhase = RESOLVE_END;
        } else {
            ScorePass();
            ResolvePhase = RESOLVE_PAUSE1;
        }
        break;
    case RESOLVE_PAUSE1:
        ResolvePhase = RESOLVE_PAUSE2;
        break;
    case RESOLVE_PAUSE2:
        ResolvePhase = RESOLVE_MATCH;
        break;
    case RESOLVE_END:
        ResolvePhase = RESOLVE_LAND;
        DrawScore();
        DrawHighScore();
        FallingPair.PairColumn = 3;
        FallingPair.PairRow = 0;
        // Columns are packed, so (3, 0) is taken only if (3, 1) is.
        if (BoardCell(3, 1) != 0) {
            mode = MODE_GAMEOVER;
        } else {
            AdvancePair();
            DrawPair();
            DrawNextPair();
            mode = MODE_PLAY;
        }
        break;
    default:
        break;
    }
    return 0;
}

int32_t GameOverTick(int32_t& mode) {
    if (InputState.NewChar == VK_ESCAPE) {
        PressButton(BUTTON_QUIT);
        return -1;
    }
    switch (GameOverTicks) {
    case 0:
        ShowMessage("GameOver");
        GameOverTicks = 1;
        break;
    case 3:
        PlayCue(CUE_GAMEOVER);
        GameOverTicks = 4;
        break;
    case GameOverLength:
        mode = MODE_TITLE;
        GameOverTicks = 0;
        break;
    default:
        GameOverTicks++;
        break;
    }
    return 0;
}
