// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/soak/random_play.h"

#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/platform.h"
#include "render/buttons.h"
#include "render/layout.h"

#include <cstdio>

namespace {
constexpr uint16_t ActionKeys[] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN};
constexpr int32_t MaxHeld = 8;

struct Writer {
    SoakRandom& random;
    const PlayField& field;
    std::string* script;
    uint64_t ticks;
    uint16_t held[MaxHeld];
    int32_t heldCount;
};

void Line(Writer& w, const char* format, uint32_t a = 0, uint32_t b = 0) {
    char line[64];
    // Formats with fewer than two numbers ignore the rest, as printf allows.
    // cppcheck-suppress wrongPrintfScanfArgNum
    std::snprintf(line, sizeof line, format, a, b);
    w.script->append(line);
    w.script->push_back('\n');
}

void Tick(Writer& w, uint32_t n) {
    if (n == 0) return;
    Line(w, n == 1 ? "tick" : "tick %u", n);
    w.ticks += n;
}

uint16_t ActionKey(Writer& w) { return ActionKeys[Below(w.random, 5)]; }

// Any key code but Escape's; mostly letters and digits, sometimes anything.
uint16_t OtherKey(Writer& w) {
    for (;;) {
        uint16_t key;
        switch (Below(w.random, 4)) {
        case 0: key = static_cast<uint16_t>(65 + Below(w.random, 26)); break;
        case 1: key = static_cast<uint16_t>(97 + Below(w.random, 26)); break;
        case 2: key = static_cast<uint16_t>(Below(w.random, 128)); break;
        default: key = static_cast<uint16_t>(Below(w.random, 65536)); break;
        }
        if (key != VK_ESCAPE) return key;
    }
}

void Press(Writer& w, uint16_t key, uint32_t holdTicks) {
    Line(w, "down %u", key);
    Tick(w, holdTicks);
    Line(w, "up %u", key);
}

void Hold(Writer& w, uint16_t key) {
    Line(w, "down %u", key);
    if (w.heldCount < MaxHeld) w.held[w.heldCount++] = key;
}

void LetGo(Writer& w) {
    if (w.heldCount == 0) return;
    const int32_t i = static_cast<int32_t>(Below(w.random, static_cast<uint32_t>(w.heldCount)));
    Line(w, "up %u", w.held[i]);
    w.held[i] = w.held[--w.heldCount];
}

bool HitsQuit(const PlayField& f, int32_t x, int32_t y) {
    for (int32_t i = 0; i < f.buttonCount; ++i) {
        const TapTarget& t = f.buttons[i];
        if (t.key == VK_ESCAPE && x >= t.x0 && x < t.x1 && y >= t.y0 && y < t.y1) return true;
    }
    return false;
}

// A tap somewhere on one of the buttons but the close box; false when the
// layout leaves none on the window.
bool TapButton(Writer& w, uint16_t wanted) {
    const PlayField& f = w.field;
    int32_t choices[16];
    int32_t n = 0;
    for (int32_t i = 0; i < f.buttonCount; ++i) {
        const TapTarget& t = f.buttons[i];
        if (t.key == VK_ESCAPE || t.x1 <= t.x0 || t.y1 <= t.y0) continue;
        if (wanted == 0 || t.key == wanted) choices[n++] = i;
    }
    if (n == 0) return false;
    const TapTarget& t = f.buttons[choices[Below(w.random, static_cast<uint32_t>(n))]];
    const auto x =
        static_cast<uint32_t>(t.x0) + Below(w.random, static_cast<uint32_t>(t.x1 - t.x0));
    const auto y =
        static_cast<uint32_t>(t.y0) + Below(w.random, static_cast<uint32_t>(t.y1 - t.y0));
    Line(w, "pen %u %u", x, y);
    return true;
}

void TapAnywhere(Writer& w) {
    for (;;) {
        uint32_t x, y;
        if (Chance(w.random, 90)) {
            x = Below(w.random, static_cast<uint32_t>(w.field.windowWidth));
            y = Below(w.random, static_cast<uint32_t>(w.field.windowHeight));
        } else {
            // Off the window: the position still arrives, as from a grab.
            x = Below(w.random, 65536);
            y = Below(w.random, 65536);
        }
        if (HitsQuit(w.field, static_cast<int32_t>(x), static_cast<int32_t>(y))) continue;
        Line(w, "pen %u %u", x, y);
        return;
    }
}

void PenUp(Writer& w) {
    Line(w, "penup");
    // The pen going up lets go of every key.
    w.heldCount = 0;
}

// The Options dialog: an answer (or none, which cancels), then the O key or
// a tap on the wrench; the dialog opens when the button comes back up.
void Options(Writer& w) {
    if (Chance(w.random, 85)) {
        char line[64];
        std::snprintf(line, sizeof line, "dialog %u %u %u %u %s", Below(w.random, 2),
                      Below(w.random, 2), Below(w.random, 2), Below(w.random, 2),
                      Chance(w.random, 70) ? "ok" : "cancel");
        w.script->append(line);
        w.script->push_back('\n');
    }
    if (Chance(w.random, 70) || !TapButton(w, 79)) {
        Press(w, Chance(w.random, 80) ? 79 : 111, 1 + Below(w.random, 2));
    } else {
        Tick(w, 1 + Below(w.random, 2));
        PenUp(w);
    }
    Tick(w, 1 + Below(w.random, 2));
}

// A pair placed as a player would: turned, moved to a column, dropped.
void Place(Writer& w) {
    for (uint32_t turns = Below(w.random, 4); turns > 0; --turns) Press(w, VK_UP, 1);
    const int32_t moves = static_cast<int32_t>(Below(w.random, 7)) - 3;
    for (int32_t i = 0; i < (moves < 0 ? -moves : moves); ++i)
        Press(w, moves < 0 ? VK_LEFT : VK_RIGHT, 1);
    Line(w, "down %u", VK_DOWN);
    Tick(w, 14);
    Line(w, "up %u", VK_DOWN);
    Tick(w, 6);
}

void Step(Writer& w) {
    const uint32_t r = Below(w.random, 100);
    if (r < 30) {
        Place(w);
    } else if (r < 45) {
        Tick(w, 1 + Below(w.random, 3));
    } else if (r < 38) {
        Tick(w, 4 + Below(w.random, 37));
    } else if (r < 40) {
        Tick(w, 41 + Below(w.random, 560)); // long enough for a pair to fall all the way
    } else if (r < 55) {
        Press(w, ActionKey(w), Below(w.random, 3)); // a press shorter than a tick is missed
    } else if (r < 60) {
        Hold(w, ActionKey(w));
    } else if (r < 65) {
        LetGo(w);
    } else if (r < 69) {
        // Auto-repeat: the key goes down again and again with no key-up.
        const uint16_t key = Chance(w.random, 80) ? ActionKey(w) : OtherKey(w);
        const uint32_t n = 2 + Below(w.random, 30);
        for (uint32_t i = 0; i < n; ++i) {
            Line(w, "down %u", key);
            Tick(w, Below(w.random, 3));
        }
        if (Chance(w.random, 80)) Line(w, "up %u", key);
    } else if (r < 72) {
        Press(w, VK_SPACE, 1 + Below(w.random, 2)); // pause or resume
    } else if (r < 74) {
        Line(w, "down %u", VK_DOWN); // a long drop
        Tick(w, 10 + Below(w.random, 290));
        Line(w, "up %u", VK_DOWN);
    } else if (r < 77) {
        Press(w, Chance(w.random, 70) ? 83 : 115, 1 + Below(w.random, 2)); // sound on or off
    } else if (r < 79) {
        Options(w);
    } else if (r < 85) {
        if (TapButton(w, 0)) {
            Tick(w, Below(w.random, 4));
            if (Chance(w.random, 90)) PenUp(w);
        }
    } else if (r < 88) {
        TapAnywhere(w);
        Tick(w, Below(w.random, 4));
        if (Chance(w.random, 80)) PenUp(w);
    } else if (r < 89) {
        PenUp(w);
    } else if (r < 95) {
        const uint16_t key = OtherKey(w);
        Line(w, "down %u", key);
        Tick(w, Below(w.random, 3));
        if (Chance(w.random, 85)) Line(w, "up %u", key);
    } else if (r < 97) {
        Line(w, "up %u", OtherKey(w));
    } else {
        // Commands other than the close one do nothing.
        uint32_t command = Below(w.random, 65536);
        if (command == CMD_CLOSE) command = CMD_ALT_SLASH;
        Line(w, "cmd %u", command);
    }
}
} // namespace

uint64_t NextBits(SoakRandom& random) {
    uint64_t z = (random.State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint32_t Below(SoakRandom& random, uint32_t n) {
    return static_cast<uint32_t>(NextBits(random) % n);
}

bool Chance(SoakRandom& random, uint32_t percent) { return Below(random, 100) < percent; }

PlayField MeasurePlayField(int32_t windowWidth, int32_t windowHeight) {
    LayoutScreen(windowWidth, windowHeight);
    LayoutButtons();
    PlayField f{};
    f.windowWidth = windowWidth;
    f.windowHeight = windowHeight;
    f.scale = Layout.Scale;
    for (int32_t i = 0; Buttons.Table[i].key != 0 && f.buttonCount < 16; ++i) {
        const Button& b = Buttons.Table[i];
        // Logical pixels strictly inside the button, as the hit test wants,
        // and the window pixels that map onto them.
        TapTarget t{0, 0, 0, 0, b.key};
        bool any = false;
        for (int32_t y = 0; y < windowHeight; ++y) {
            int32_t lx = 0, ly = 0;
            WindowToLogical(0, y, &lx, &ly);
            if (!(b.y < ly && ly < b.y + b.h)) continue;
            if (!any) t.y0 = y;
            t.y1 = y + 1;
            any = true;
        }
        bool anyX = false;
        for (int32_t x = 0; x < windowWidth && any; ++x) {
            int32_t lx = 0, ly = 0;
            WindowToLogical(x, 0, &lx, &ly);
            if (!(b.x < lx && lx < b.x + b.w)) continue;
            if (!anyX) t.x0 = x;
            t.x1 = x + 1;
            anyX = true;
        }
        if (any && anyX) f.buttons[f.buttonCount++] = t;
    }
    ReleaseScreen();
    ResetButtons();
    return f;
}

uint64_t AppendRandomPlay(SoakRandom& random, const PlayField& field, uint64_t ticks,
                          std::string* script) {
    Writer w{random, field, script, 0, {}, 0};
    while (w.ticks < ticks) Step(w);
    while (w.heldCount > 0) LetGo(w);
    return w.ticks;
}
