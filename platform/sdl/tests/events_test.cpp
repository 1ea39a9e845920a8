// SPDX-License-Identifier: GPL-3.0-or-later
// SDL events as the game's events, and the window timer's cadence. The
// events are made up here; nothing opens a window or sleeps.
#include "platform/sdl/desktop.h"
#include "platform/timers.h"
#include "tests/support/events.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr PenScale SameSize{640, 480, 640, 480, 640, 480};

std::vector<Event> Translate(const SDL_Event& event, const PenScale& scale = SameSize,
                             PenState* pen = nullptr) {
    PenState own{};
    Event out[2]{};
    const int32_t n = TranslateEvent(event, scale, pen != nullptr ? pen : &own, out);
    return std::vector<Event>(out, out + n);
}

// Where a key is on a US keyboard (SDL names a key and its place alike).
SDL_Scancode PlaceOf(SDL_Keycode sym) { return SDL_GetScancodeFromName(SDL_GetKeyName(sym)); }

// A key at `place` that the layout makes `sym`.
SDL_Event KeyAt(uint32_t type, SDL_Scancode place, SDL_Keycode sym, uint16_t mod = KMOD_NONE,
                uint8_t repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = place;
    e.key.keysym.mod = mod;
    return e;
}

// A key of a US keyboard.
SDL_Event Key(uint32_t type, SDL_Keycode sym, uint16_t mod = KMOD_NONE, uint8_t repeat = 0) {
    return KeyAt(type, PlaceOf(sym), sym, mod, repeat);
}

// The single event an SDL key event gives, or one of kind EVENT_NONE for none.
Event One(const SDL_Event& e) {
    const std::vector<Event> m = Translate(e);
    if (m.size() != 1) return Event{};
    return m[0];
}

uint32_t DownCode(SDL_Keycode sym, uint16_t mod = KMOD_NONE) {
    const Event m = One(Key(SDL_KEYDOWN, sym, mod));
    return m.kind == EVENT_KEY_DOWN && !m.alt ? m.key : 0;
}

uint32_t DownCodeAt(SDL_Scancode place, SDL_Keycode sym) {
    const Event m = One(KeyAt(SDL_KEYDOWN, place, sym));
    return m.kind == EVENT_KEY_DOWN && !m.alt ? m.key : 0;
}

SDL_Event Mouse(uint32_t type, int32_t x, int32_t y, uint8_t button = SDL_BUTTON_LEFT,
                uint32_t which = 0) {
    SDL_Event e{};
    e.type = type;
    e.button.type = type;
    e.button.which = which;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event Finger(uint32_t type, SDL_FingerID finger, float x, float y, SDL_TouchID touch = 7) {
    SDL_Event e{};
    e.type = type;
    e.tfinger.type = type;
    e.tfinger.touchId = touch;
    e.tfinger.fingerId = finger;
    e.tfinger.x = x;
    e.tfinger.y = y;
    return e;
}

TEST(KeyTranslation, LettersAreUpperCaseCodesWhateverTheShiftState) {
    for (SDL_Keycode k = SDLK_a; k <= SDLK_z; ++k) {
        const uint32_t expected = 'A' + static_cast<uint32_t>(k - SDLK_a);
        EXPECT_EQ(DownCode(k), expected) << "key " << k;
        EXPECT_EQ(DownCode(k, KMOD_LSHIFT), expected) << "key " << k << " with Shift";
        EXPECT_EQ(DownCode(k, KMOD_CAPS), expected) << "key " << k << " with Caps Lock";
    }
}

TEST(KeyTranslation, DigitsFunctionKeysAndTheGameKeysHaveTheOldCodes) {
    for (SDL_Keycode k = SDLK_0; k <= SDLK_9; ++k)
        EXPECT_EQ(DownCode(k), '0' + static_cast<uint32_t>(k - SDLK_0));
    const SDL_Keycode functionKeys[] = {SDLK_F1, SDLK_F2, SDLK_F3, SDLK_F4,  SDLK_F5,  SDLK_F6,
                                        SDLK_F7, SDLK_F8, SDLK_F9, SDLK_F10, SDLK_F11, SDLK_F12};
    for (uint32_t i = 0; i < 12; ++i) EXPECT_EQ(DownCode(functionKeys[i]), 112 + i) << "F" << i + 1;
    EXPECT_EQ(DownCode(SDLK_RETURN), 13u);
    EXPECT_EQ(DownCode(SDLK_KP_ENTER), 13u);
    EXPECT_EQ(DownCode(SDLK_ESCAPE), 27u);
    EXPECT_EQ(DownCode(SDLK_SPACE), 32u);
    EXPECT_EQ(DownCode(SDLK_TAB), 9u);
    EXPECT_EQ(DownCode(SDLK_LEFT), 37u);
    EXPECT_EQ(DownCode(SDLK_UP), 38u);
    EXPECT_EQ(DownCode(SDLK_RIGHT), 39u);
    EXPECT_EQ(DownCode(SDLK_DOWN), 40u);
    // The keypad's arrows without Num Lock, its digits with it.
    EXPECT_EQ(DownCode(SDLK_KP_4), 37u);
    EXPECT_EQ(DownCode(SDLK_KP_2), 40u);
    EXPECT_EQ(DownCode(SDLK_KP_4, KMOD_NUM), 0x64u);
}

TEST(KeyTranslation, KeysThatTypeNothingHaveTheOldCodes) {
    const struct {
        SDL_Keycode sym;
        uint32_t code;
    } keys[] = {{SDLK_BACKSPACE, 8},      {SDLK_CLEAR, 12},       {SDLK_LSHIFT, 16},
                {SDLK_RSHIFT, 16},        {SDLK_LCTRL, 17},       {SDLK_RCTRL, 17},
                {SDLK_PAUSE, 19},         {SDLK_CAPSLOCK, 20},    {SDLK_PAGEUP, 33},
                {SDLK_PAGEDOWN, 34},      {SDLK_END, 35},         {SDLK_HOME, 36},
                {SDLK_PRINTSCREEN, 44},   {SDLK_INSERT, 45},      {SDLK_DELETE, 46},
                {SDLK_LGUI, 91},          {SDLK_RGUI, 92},        {SDLK_APPLICATION, 93},
                {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},   {SDLK_KP_MINUS, 0x6D},
                {SDLK_KP_DIVIDE, 0x6F},   {SDLK_F13, 124},        {SDLK_F24, 135},
                {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145}, {SDLK_MUTE, 0xAD},
                {SDLK_VOLUMEUP, 0xAF},    {SDLK_AUDIOPLAY, 0xB3}};
    for (const auto& k : keys) {
        EXPECT_EQ(DownCode(k.sym), k.code) << SDL_GetKeyName(k.sym);
        const Event up = One(Key(SDL_KEYUP, k.sym));
        EXPECT_EQ(What(up), "key up") << SDL_GetKeyName(k.sym);
        EXPECT_EQ(up.key, k.code) << SDL_GetKeyName(k.sym);
    }
    // Alt itself: a system key going down (Alt is held by then), a plain
    // one going up.
    Event m = One(Key(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT));
    EXPECT_EQ(What(m), "alt key down");
    EXPECT_EQ(m.key, 18u);
    m = One(Key(SDL_KEYUP, SDLK_LALT));
    EXPECT_EQ(What(m), "key up");
    EXPECT_EQ(m.key, 18u);
}

TEST(KeyTranslation, TheKeypadFollowsNumLock) {
    const SDL_Keycode pad[10] = {SDLK_KP_0, SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_4,
                                 SDLK_KP_5, SDLK_KP_6, SDLK_KP_7, SDLK_KP_8, SDLK_KP_9};
    // Without Num Lock: Insert, End, Down, Page Down, Left, Clear, Right,
    // Home, Up, Page Up.
    const uint32_t without[10] = {45, 35, 40, 34, 37, 12, 39, 36, 38, 33};
    for (uint32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(DownCode(pad[i]), without[i]) << "keypad " << i;
        EXPECT_EQ(DownCode(pad[i], KMOD_NUM), 0x60 + i) << "keypad " << i << " with Num Lock";
    }
    EXPECT_EQ(DownCode(SDLK_KP_PERIOD), 46u);
    EXPECT_EQ(DownCode(SDLK_KP_PERIOD, KMOD_NUM), 0x6Eu);
    // However the layout names the keypad's keys, their place counts.
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_KP_4, SDLK_LEFT), 37u);
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_KP_4, SDLK_4), 37u);
}

TEST(KeyTranslation, KeysWithoutAnOldCodeComeWithOneOfTheirOwn) {
    // Above 0xFF, from the key's place, so no other key's code.
    for (SDL_Keycode k : {SDLK_POWER, SDLK_UNDO, SDLK_MODE, SDLK_KBDILLUMUP}) {
        const SDL_Scancode place = PlaceOf(k);
        ASSERT_NE(place, SDL_SCANCODE_UNKNOWN) << SDL_GetKeyName(k);
        const Event down = One(Key(SDL_KEYDOWN, k));
        EXPECT_EQ(What(down), "key down") << SDL_GetKeyName(k);
        EXPECT_EQ(down.key, 0x100u + place) << SDL_GetKeyName(k);
        const Event up = One(Key(SDL_KEYUP, k));
        EXPECT_EQ(What(up), "key up") << SDL_GetKeyName(k);
        EXPECT_EQ(up.key, 0x100u + place) << SDL_GetKeyName(k);
    }
    // A key whose place SDL does not know either.
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_UNKNOWN, 0x40000F00), 0x100u);
}

TEST(KeyTranslation, LettersOfAnotherScriptAreTheLetterInTheirPlace) {
    // Russian: the O key types щ, the S key ы, and the arrows are arrows.
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_O, 0x0449), 'O');
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_S, 0x044B), 'S');
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_LEFTBRACKET, 0x0445), 0xDBu) << "х, where [ is";
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_LEFT, SDLK_LEFT), 37u);
    // Greek: σ on the S key.
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_S, 0x03C3), 'S');
    // Latin layouts keep their letters where they put them: French A and Q
    // swapped, German Y and Z, and the French M where a US ; is.
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_Q, SDLK_a), 'A');
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_A, SDLK_q), 'Q');
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_Y, SDLK_z), 'Z');
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_SEMICOLON, SDLK_m), 'M');
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_M, SDLK_COMMA), 0xBCu);
    // A German ö where a US ; is: the place's mark.
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_SEMICOLON, 0xF6), 0xBAu);
    // A key the layout moved: Caps Lock made Escape is Escape.
    EXPECT_EQ(DownCodeAt(SDL_SCANCODE_CAPSLOCK, SDLK_ESCAPE), 27u);
}

TEST(KeyTranslation, UpDownAndAutoRepeat) {
    Event m = One(Key(SDL_KEYDOWN, SDLK_DOWN));
    EXPECT_EQ(What(m), "key down");
    m = One(Key(SDL_KEYDOWN, SDLK_DOWN, KMOD_NONE, 1));
    EXPECT_EQ(What(m), "key down") << "a repeat is a further key-down";
    EXPECT_EQ(m.key, 40u);
    m = One(Key(SDL_KEYUP, SDLK_DOWN));
    EXPECT_EQ(What(m), "key up");
    EXPECT_EQ(m.key, 40u);
}

TEST(KeyTranslation, AltMakesSystemKeys) {
    Event m = One(Key(SDL_KEYDOWN, SDLK_F4, KMOD_LALT));
    EXPECT_EQ(What(m), "alt key down");
    EXPECT_EQ(m.key, 0x73u) << "Alt+F4, the accelerator for closing";
    m = One(Key(SDL_KEYUP, SDLK_F4, KMOD_RALT));
    EXPECT_EQ(What(m), "alt key up");
    // Alt let go first: the key comes up as a plain key.
    EXPECT_EQ(What(One(Key(SDL_KEYUP, SDLK_F4))), "key up");
    // AltGr (Ctrl+Alt) types characters: plain keys.
    EXPECT_EQ(What(One(Key(SDL_KEYDOWN, SDLK_q, KMOD_LCTRL | KMOD_RALT))), "key down");
}

TEST(KeyTranslation, AltSlashAlsoTypesItsCharacter) {
    const std::vector<Event> m = Translate(Key(SDL_KEYDOWN, SDLK_SLASH, KMOD_LALT));
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(What(m[0]), "alt key down");
    EXPECT_EQ(m[0].key, 0xBFu);
    EXPECT_EQ(What(m[1]), "alt character");
    EXPECT_EQ(m[1].key, 47u) << "what the accelerator table matches";
    // Without Alt it is a plain key with no character event; going up,
    // no character either.
    EXPECT_EQ(Translate(Key(SDL_KEYDOWN, SDLK_SLASH)).size(), 1u);
    EXPECT_EQ(Translate(Key(SDL_KEYUP, SDLK_SLASH, KMOD_LALT)).size(), 1u);
}

TEST(PenTranslation, TheLeftButtonIsThePenInRealPixels) {
    // A high-DPI window: 320 x 240 in the mouse's units, 640 x 480 pixels.
    const PenScale hiDpi{320, 240, 640, 480, 640, 480};
    PenState pen{};
    std::vector<Event> m = Translate(Mouse(SDL_MOUSEBUTTONDOWN, 10, 20), hiDpi, &pen);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(What(m[0]), "pen down");
    EXPECT_EQ(At(m[0]), std::make_pair(20, 40));
    m = Translate(Mouse(SDL_MOUSEBUTTONUP, 319, 239), hiDpi, &pen);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(What(m[0]), "pen up");
    EXPECT_EQ(At(m[0]), std::make_pair(638, 478));

    // Other buttons are not the pen.
    EXPECT_TRUE(Translate(Mouse(SDL_MOUSEBUTTONDOWN, 1, 1, SDL_BUTTON_RIGHT), hiDpi, &pen).empty());
    // Outside the window (the mouse is captured while down): the edge.
    m = Translate(Mouse(SDL_MOUSEBUTTONDOWN, 5, 5), SameSize, &pen);
    m = Translate(Mouse(SDL_MOUSEBUTTONUP, -30, 900), SameSize, &pen);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(At(m[0]), std::make_pair(0, 479));
}

TEST(PenTranslation, ATouchIsThePenOnceOnly) {
    PenState pen{};
    // A finger at fractions of the window.
    std::vector<Event> m = Translate(Finger(SDL_FINGERDOWN, 3, 0.5f, 0.25f), SameSize, &pen);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(What(m[0]), "pen down");
    EXPECT_EQ(At(m[0]), std::make_pair(320, 120));
    // The mouse events SDL makes of the touch are not delivered again, nor
    // is a second finger, nor the mouse while the finger is down.
    EXPECT_TRUE(Translate(Mouse(SDL_MOUSEBUTTONDOWN, 320, 120, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID),
                          SameSize, &pen)
                    .empty());
    EXPECT_TRUE(Translate(Finger(SDL_FINGERDOWN, 4, 0.1f, 0.1f), SameSize, &pen).empty());
    EXPECT_TRUE(Translate(Mouse(SDL_MOUSEBUTTONDOWN, 1, 1), SameSize, &pen).empty());
    EXPECT_TRUE(Translate(Finger(SDL_FINGERUP, 4, 0.1f, 0.1f), SameSize, &pen).empty());
    m = Translate(Finger(SDL_FINGERUP, 3, 1.0f, 1.0f), SameSize, &pen);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(What(m[0]), "pen up");
    EXPECT_EQ(At(m[0]), std::make_pair(639, 479));
    EXPECT_FALSE(pen.down);
    // Touches SDL makes of the mouse are not the pen either.
    EXPECT_TRUE(Translate(Finger(SDL_FINGERDOWN, 1, 0.5f, 0.5f, SDL_MOUSE_TOUCHID), SameSize, &pen)
                    .empty());
}

TEST(PenTranslation, AResizedWindowMapsThroughThePictureItShows) {
    // Laid out at 640 x 480, the window now 500 x 700: the picture is
    // 500 x 375 from window row 162, black above and below.
    const PenScale tall{500, 700, 500, 700, 640, 480};
    PenState pen{};
    std::vector<Event> m = Translate(Mouse(SDL_MOUSEBUTTONDOWN, 250, 162 + 187), tall, &pen);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(At(m[0]), std::make_pair(320, 239));
    // Above the picture: its top edge.
    m = Translate(Mouse(SDL_MOUSEBUTTONUP, 10, 100), tall, &pen);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(At(m[0]), std::make_pair(12, 0));
    // A touch at fractions of the window goes the same way.
    m = Translate(Finger(SDL_FINGERDOWN, 3, 0.5f, 0.5f), tall, &pen);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(At(m[0]), std::make_pair(320, 240));

    // Twice as wide in the mouse's units as in pixels, and wider than the
    // picture: 1280 x 480 pixels show it at x 320.
    const PenScale wide{640, 240, 1280, 480, 640, 480};
    m = Translate(Mouse(SDL_MOUSEBUTTONDOWN, 160 + 5, 120), wide);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(At(m[0]), std::make_pair(10, 240));
}

TEST(WindowTranslation, CloseRequestsAndSignalsAskTheWindowToClose) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Event m = One(quit);
    EXPECT_EQ(What(m), "close");

    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    EXPECT_EQ(What(One(close)), "close");

    SDL_Event exposed = close;
    exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
    EXPECT_TRUE(Translate(exposed).empty()) << "a repaint is not a queued event";
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    EXPECT_TRUE(Translate(motion).empty());
}

TEST(WindowTranslation, HidingOrMinimisingTellsTheWindowItIsOutOfSight) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    for (const uint8_t hidden : {SDL_WINDOWEVENT_HIDDEN, SDL_WINDOWEVENT_MINIMIZED}) {
        e.window.event = hidden;
        const Event m = One(e);
        EXPECT_EQ(What(m), "hidden") << int{hidden};
    }
    for (const uint8_t shown : {SDL_WINDOWEVENT_SHOWN, SDL_WINDOWEVENT_RESTORED}) {
        e.window.event = shown;
        const Event m = One(e);
        EXPECT_EQ(What(m), "shown") << int{shown};
    }
}

TEST(WindowTimer, APunctualTickKeepsTheCadence) {
    // Taken on time or a little late, the next deadline stays on the grid.
    EXPECT_EQ(NextTimerDeadline(1000, 1000, 70), 1070u);
    EXPECT_EQ(NextTimerDeadline(1000, 1005, 70), 1070u);
    EXPECT_EQ(NextTimerDeadline(1000, 1069, 70), 1070u);
    uint64_t deadline = 1000;
    for (int i = 0; i < 100; ++i) deadline = NextTimerDeadline(deadline, deadline + 3, 70);
    EXPECT_EQ(deadline, 1000u + 100 * 70) << "no drift from taking each tick 3 ms late";
}

TEST(WindowTimer, ALateTickDoesNotBurst) {
    // A tick that played a long sound: the one after it is a whole interval
    // on, not a run of the missed ones.
    EXPECT_EQ(NextTimerDeadline(1000, 1070, 70), 1140u);
    EXPECT_EQ(NextTimerDeadline(1000, 1880, 70), 1950u);

    const uint64_t start = SDL_GetTicks64();
    PlatformSetTimer(DesktopWindow, 1, 70);
    Event m{};
    EXPECT_FALSE(TimerTake(start + 10, &m)) << "not due yet";
    const uint64_t late = start + 1000; // a second of blocked loop
    ASSERT_TRUE(TimerTake(late, &m));
    EXPECT_EQ(What(m), "timer");
    EXPECT_EQ(m.timer, 1u);
    EXPECT_FALSE(TimerTake(late, &m)) << "one event however late";
    EXPECT_FALSE(TimerTake(late + 69, &m));
    EXPECT_EQ(TimerWait(late), 70);
    EXPECT_TRUE(TimerTake(late + 70, &m));

    // Set again: a fresh count. Killed: no more ticks and no wait.
    const uint64_t before = SDL_GetTicks64();
    PlatformSetTimer(DesktopWindow, 1, 70);
    const uint64_t after = SDL_GetTicks64();
    EXPECT_FALSE(TimerTake(before + 69, &m));
    EXPECT_TRUE(TimerTake(after + 70, &m));
    PlatformKillTimer(DesktopWindow, 1);
    EXPECT_FALSE(TimerTake(late + 100000, &m));
    EXPECT_EQ(TimerWait(late), -1);
}

} // namespace
