// SPDX-License-Identifier: GPL-3.0-or-later
// The game advances one timer tick at a time through its four modes: the
// title, play, the resolve sequence after a pair lands, and game over. The
// module's state is the one instance Flow, which alone holds the mode.
#pragma once

#include <cstdint>

enum GameModeValue : int32_t { MODE_TITLE = 0, MODE_PLAY = 1, MODE_RESOLVE = 2, MODE_GAMEOVER = 3 };

// Phases of a resolve sequence; RESOLVE_END follows a pass that removed
// nothing.
enum ResolvePhaseValue : int32_t {
    RESOLVE_LAND = 0,
    RESOLVE_MATCH = 1,
    RESOLVE_GRAVITY = 2,
    RESOLVE_SCORE = 3,
    RESOLVE_PAUSE1 = 4,
    RESOLVE_PAUSE2 = 5,
    RESOLVE_END = 10,
};

// Which actions follow the held keys (repeat every tick) instead of the
// newly pressed ones.
enum RepeatChoice : int32_t {
    REPEAT_ROTATION = 0,
    REPEAT_LEFT = 1,
    REPEAT_DROP = 2,
    REPEAT_RIGHT = 3
};

// Game over lasts this many ticks after its first, then the title comes.
constexpr int32_t GameOverLength = 60;

struct FlowState {
    int32_t Mode;
    int32_t TitleDrawn; // the title screen has been drawn in this Title mode
    int32_t FallStep;   // 1 the pair falls, 0 paused
    int32_t ResolvePhase;
    int32_t GameOverTicks; // 0..60
    int32_t KeyRepeat[4];
    int32_t NextShown; // a game has been started, so the NEXT frame holds a pair
};
extern FlowState Flow;

// The keys that open the Options dialog and switch the sound, as the rules
// read them: O and S, and the codes of a typed o and s.
bool IsOptionsKey(uint16_t c);
bool IsSoundKey(uint16_t c);

// One tick: releases the button pressed on the previous tick, then runs the
// current mode's step. 0 goes on; -1 means the player asked to quit.
int32_t GameTick();
int32_t TitleTick();
int32_t PlayTick();
int32_t ResolveTick();
int32_t GameOverTick();
void StartPlay();
// Pauses play as the Space key does (the PAUSE bar lights), unless play is
// paused already or the game is in another mode.
void PausePlay();
void NewGame();
// A game taken back from its saved state goes on paused. In play it runs
// the tick that came next with Space pressed, so that it is exactly the
// game that was paused by Space at that tick (one paused already stays as
// it was). While a landing resolves, Space does nothing: the PAUSE bar is
// lit at once, the chain runs on to its end, and the next pair waits,
// paused.
void ResumeGame();
// The rules' side of a fresh play screen: an empty well with the first pairs
// dealt, and no message.
void ClearPlayfield();

// Whether the pair is on the screen now: in play, and in the resolve tick
// before it lands.
bool PairShown();
// Whether the play screen is on the screen (everywhere but on a drawn title).
bool PlayScreenShown();

// The sound switch, which button 1 shows: only exactly 1 is on.
bool SoundOn();
// Plays a cue when the sound is on.
void PlaySound(int32_t cue);

// A button shown pressed for one tick (a toggle flips); the rules' only way
// of pressing one.
void ShowPressed(int32_t button);
// The button pressed on the previous tick shown raised again (the first step
// of every tick).
void ShowReleased();

// How many of the coming ticks are idle if no input comes: each only
// advances a counter of the rules' own (the title's tick count, the fall's
// counter, the message's timer, a resolve pause or the game over's count),
// drawing nothing and playing nothing. The tick after them may change what
// is shown. IDLE_UNTIL_INPUT when no tick can change anything before input
// does (the title waiting for a key, play paused with no message showing).
constexpr int32_t IDLE_UNTIL_INPUT = -1;
int32_t IdleTicksAhead();

void ResetGameFlow();
// The title comes next (the window just made).
void EnterTitle();
// The four key-repeat choices, as the settings or the Options dialog give
// them (in the order of RepeatChoice).
void SetKeyRepeat(const int32_t choices[4]);
// Every module of the rules and of the input back to its start-up state: the
// one reset a test or a runner needs before a game of its own.
void ResetGame();
