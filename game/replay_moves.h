// SPDX-License-Identifier: GPL-3.0-or-later
// What recording and playing a replay share: the moves as the stream of
// bits writes them (see replay.cpp).
#pragma once

#include "game/flow.h"
#include "input/input_state.h"

#include <cstdint>

namespace replay_moves {
constexpr uint8_t FlagCut = 1;
constexpr uint8_t KeyFlags = KEY_LEFT | KEY_RIGHT | KEY_UP | KEY_DOWN | KEY_ENTER;

// The key newly typed, as the rules tell keys apart.
enum TypedKey : uint8_t {
    TYPED_NONE = 0,
    TYPED_ESCAPE = 1,
    TYPED_SPACE = 2,
    TYPED_OPTIONS = 3,
    TYPED_SOUND = 4,
    TYPED_OTHER = 5,
};
// The code a replay types for another key: none the rules act on.
constexpr uint16_t OtherKeyCode = 0xFFFF;

// What a move is.
enum MoveKind : uint8_t {
    MOVE_INPUT,
    MOVE_OPTIONS,
    MOVE_PAUSE,
    MOVE_STATE,
};

struct Input {
    uint8_t held, pressed, typed;
    bool operator==(const Input&) const = default;
};

inline uint8_t TypedOf(uint16_t c) {
    if (c == 0) return TYPED_NONE;
    if (c == VK_ESCAPE) return TYPED_ESCAPE;
    if (c == VK_SPACE) return TYPED_SPACE;
    if (IsOptionsKey(c)) return TYPED_OPTIONS;
    if (IsSoundKey(c)) return TYPED_SOUND;
    return TYPED_OTHER;
}

inline uint16_t CodeOf(uint8_t typed) {
    switch (typed) {
    case TYPED_ESCAPE: return VK_ESCAPE;
    case TYPED_SPACE: return VK_SPACE;
    case TYPED_OPTIONS: return VK_O;
    case TYPED_SOUND: return VK_S;
    case TYPED_OTHER: return OtherKeyCode;
    default: return 0;
    }
}

inline int32_t SingleKey(uint8_t flags) {
    for (int32_t k = 0; k < 5; ++k)
        if (flags == (1u << k)) return k;
    return -1;
}

// What a key going down or up makes of the input, held before `held`.
inline Input Toggled(uint8_t held, int32_t k) {
    const auto flag = static_cast<uint8_t>(1u << k);
    const bool down = (held & flag) == 0;
    return Input{static_cast<uint8_t>(held ^ flag), down ? flag : uint8_t{0},
                 down ? TYPED_OTHER : TYPED_NONE};
}

// An input move as written: the code after the leading 1 (0 to 7), and its
// argument.
struct InputMove {
    uint8_t code, arg;
    Input general;
    bool operator==(const InputMove&) const = default;
};

inline Input Apply(const InputMove& m, uint8_t held) {
    if (m.code < 5) return Toggled(held, m.code);
    if (m.code == 5) return Input{held, 0, m.arg};
    if (m.code == 6) return Input{held, static_cast<uint8_t>(1u << m.arg), TYPED_OTHER};
    return m.general;
}

} // namespace replay_moves
