// SPDX-License-Identifier: GPL-3.0-or-later
// Every value of the rules and of the input, field by field as bytes (the
// padding between fields left out): two states are the same game exactly
// when their bytes are equal.
#pragma once

#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "game/snapshot.h"
#include "input/buttons.h"
#include "input/input_state.h"

#include <string>

struct GameModules {
    BoardState board;
    MatchState match;
    FlowState flow;
    ButtonsState buttons;
    InputStateFields input;
};

inline GameModules CurrentModules() { return GameModules{Board, Match, Flow, Buttons, InputState}; }

inline void PutModules(const GameModules& m) {
    Board = m.board;
    Match = m.match;
    Flow = m.flow;
    Buttons = m.buttons;
    InputState = m.input;
}

inline std::string ModuleBytes(const GameModules& m) {
    std::string s;
    const auto add = [&s](const auto& value) {
        s.append(reinterpret_cast<const char*>(&value), sizeof value);
    };
    // What a saved game holds, by the saved game's own list of its fields...
    GameCopy game{
        m.board, m.match, m.flow,
        ButtonStates{
            {}, m.buttons.ReleasePending, m.buttons.PendingButton, m.buttons.OptionsRequest}};
    for (int32_t i = 0; i < ButtonCount; ++i) game.buttons.toggles[i] = m.buttons.Table[i].state;
    uint8_t saved[SnapshotPayloadSize];
    WriteGameFields(game, saved);
    s.append(reinterpret_cast<const char*>(saved), sizeof saved);
    // ...and the rest: the high score and the title's, the buttons' places
    // and their other states, the input.
    add(m.board.HighScore);
    add(m.flow.TitleDrawn);
    for (const Button& button : m.buttons.Table) {
        add(button.key);
        add(button.x);
        add(button.y);
        add(button.w);
        add(button.h);
        add(button.state);
    }
    add(m.buttons.OptionsRequest);
    const InputStateFields& i = m.input;
    add(i.HeldKeys);
    add(i.PrevHeldKeys);
    add(i.PressedKeys);
    add(i.CurrentChar);
    add(i.LastChar);
    add(i.NewChar);
    add(i.MouseX);
    add(i.MouseY);
    add(i.TappedKeys);
    add(i.TappedChar);
    add(i.ReleasedKeys);
    add(i.ReleasedChar);
    add(i.FingerKey);
    add(i.FingerDown);
    add(i.TapsWaiting);
    add(i.TapsWaitingCount);
    return s;
}
