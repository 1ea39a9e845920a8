// SPDX-License-Identifier: GPL-3.0-or-later
// Every value of the rules and of the input, field by field as bytes (the
// padding between fields left out): two states are the same game exactly
// when their bytes are equal.
#pragma once

#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
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
    const BoardState& b = m.board;
    add(b.Cells);
    add(b.Pair.CurrentTop);
    add(b.Pair.CurrentBottom);
    add(b.Pair.NextTop);
    add(b.Pair.NextBottom);
    add(b.Pair.PairColumn);
    add(b.Pair.PairRow);
    add(b.FallInterval);
    add(b.FallCounter);
    add(b.PairsSinceSpeedUp);
    add(b.Score);
    add(b.HighScore);
    add(b.PanelScore);
    add(b.Random);
    add(m.match.Map);
    add(m.match.PassPoints);
    add(m.match.ChainCount);
    add(m.match.ChainTotal);
    add(m.match.MessageTimer);
    add(m.match.Message);
    const FlowState& f = m.flow;
    add(f.Mode);
    add(f.TitleDrawn);
    add(f.FallStep);
    add(f.ResolvePhase);
    add(f.GameOverTicks);
    add(f.KeyRepeat);
    add(f.NextShown);
    for (const Button& button : m.buttons.Table) {
        add(button.key);
        add(button.x);
        add(button.y);
        add(button.w);
        add(button.h);
        add(button.state);
    }
    add(m.buttons.ReleasePending);
    add(m.buttons.PendingButton);
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
    return s;
}
