// SPDX-License-Identifier: GPL-3.0-or-later
// Game controllers as keys: controller events made up here go through the
// translation and come out as the key events of the keys they stand in
// for; then a virtual controller, plugged in while the queue runs, plays
// through the real event queue.
#include "platform/sdl/desktop.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr SDL_JoystickID First = 3, Second = 9;

struct Key {
    EventKind kind;
    uint32_t code;
};

bool operator==(const Key& a, const Key& b) { return a.kind == b.kind && a.code == b.code; }

std::ostream& operator<<(std::ostream& out, const Key& k) {
    return out << (k.kind == EVENT_KEY_DOWN ? "down "
                   : k.kind == EVENT_KEY_UP ? "up "
                                            : "? ")
               << k.code;
}

const std::vector<Key> None;
Key Down(uint32_t code) { return Key{EVENT_KEY_DOWN, code}; }
Key Up(uint32_t code) { return Key{EVENT_KEY_UP, code}; }

// The keys one event gives; every one must be a key event from a
// controller.
std::vector<Key> Translate(PadState* pad, const SDL_Event& event) {
    Event out[PadMaxEvents]{};
    const int32_t n = TranslatePadEvent(event, pad, out);
    std::vector<Key> keys;
    for (int32_t i = 0; i < n; ++i) {
        EXPECT_EQ(out[i].source, KEY_FROM_PAD) << "event " << i;
        keys.push_back(Key{out[i].kind, out[i].key});
    }
    return keys;
}

SDL_Event Button(uint32_t type, int32_t button, SDL_JoystickID which = First) {
    SDL_Event e{};
    e.type = type;
    e.cbutton.type = type;
    e.cbutton.which = which;
    e.cbutton.button = static_cast<uint8_t>(button);
    e.cbutton.state = type == SDL_CONTROLLERBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    return e;
}

SDL_Event Axis(int32_t axis, int32_t value, SDL_JoystickID which = First) {
    SDL_Event e{};
    e.type = SDL_CONTROLLERAXISMOTION;
    e.caxis.type = SDL_CONTROLLERAXISMOTION;
    e.caxis.which = which;
    e.caxis.axis = static_cast<uint8_t>(axis);
    e.caxis.value = static_cast<int16_t>(value);
    return e;
}

SDL_Event Device(uint32_t type, int32_t which) {
    SDL_Event e{};
    e.type = type;
    e.cdevice.type = type;
    e.cdevice.which = which;
    return e;
}

TEST(PadButtons, EachButtonIsTheKeyItStandsFor) {
    const struct {
        int32_t button;
        uint32_t key;
    } map[] = {{SDL_CONTROLLER_BUTTON_DPAD_LEFT, 37},  {SDL_CONTROLLER_BUTTON_DPAD_UP, 38},
               {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 39}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 40},
               {SDL_CONTROLLER_BUTTON_A, 13},          {SDL_CONTROLLER_BUTTON_START, 32},
               {SDL_CONTROLLER_BUTTON_BACK, 27},       {SDL_CONTROLLER_BUTTON_Y, 79},
               {SDL_CONTROLLER_BUTTON_X, 83},          {SDL_CONTROLLER_BUTTON_B, VK_PAD_B}};
    PadState pad{};
    for (const auto& m : map) {
        EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, m.button)),
                  std::vector<Key>{Down(m.key)})
            << "button " << m.button;
        EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONUP, m.button)),
                  std::vector<Key>{Up(m.key)})
            << "button " << m.button;
    }
}

TEST(PadButtons, OtherButtonsAndStrayReleasesGiveNothing) {
    PadState pad{};
    const int32_t others[] = {SDL_CONTROLLER_BUTTON_GUIDE,
                              SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                              SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                              SDL_CONTROLLER_BUTTON_LEFTSTICK,
                              SDL_CONTROLLER_BUTTON_MISC1,
                              SDL_CONTROLLER_BUTTON_TOUCHPAD,
                              200};
    for (int32_t b : others) {
        EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, b)), None) << "button " << b;
        EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONUP, b)), None) << "button " << b;
    }
    // A button let go that was never pressed (held before the game started).
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_A)), None);
    // A second press while held (a duplicate event) is not a second key-down.
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A)).size(),
              1u);
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A)), None);
}

TEST(PadStick, OneKeyDownLeavingTheDeadZoneAndOneKeyUpReturning) {
    PadState pad{};
    const int32_t x = SDL_CONTROLLER_AXIS_LEFTX;
    // Inside the dead zone: nothing, however it wobbles.
    for (int32_t v : {0, 3000, -3000, PadStickRelease, -PadStickPress + 1, PadStickPress - 1})
        EXPECT_EQ(Translate(&pad, Axis(x, v)), None) << v;
    EXPECT_EQ(Translate(&pad, Axis(x, PadStickPress)), std::vector<Key>{Down(39)});
    // Pushed further, eased back a little, even to just past the release
    // line: still the one key held.
    for (int32_t v : {32767, 20000, PadStickPress - 1, PadStickRelease + 1})
        EXPECT_EQ(Translate(&pad, Axis(x, v)), None) << v;
    EXPECT_EQ(Translate(&pad, Axis(x, PadStickRelease)), std::vector<Key>{Up(39)});
    // Back between the lines from inside: not pressed again.
    EXPECT_EQ(Translate(&pad, Axis(x, PadStickPress - 1)), None);

    EXPECT_EQ(Translate(&pad, Axis(x, -32768)), std::vector<Key>{Down(37)});
    // From one side to the other in one event: the left key comes up first.
    EXPECT_EQ(Translate(&pad, Axis(x, 32767)), (std::vector<Key>{Up(37), Down(39)}));
    EXPECT_EQ(Translate(&pad, Axis(x, 0)), std::vector<Key>{Up(39)});

    // Up and down: SDL's stick counts downwards, so negative is up.
    const int32_t y = SDL_CONTROLLER_AXIS_LEFTY;
    EXPECT_EQ(Translate(&pad, Axis(y, -20000)), std::vector<Key>{Down(38)});
    EXPECT_EQ(Translate(&pad, Axis(y, 0)), std::vector<Key>{Up(38)});
    EXPECT_EQ(Translate(&pad, Axis(y, 20000)), std::vector<Key>{Down(40)});
    // A diagonal holds both.
    EXPECT_EQ(Translate(&pad, Axis(x, -20000)), std::vector<Key>{Down(37)});
    EXPECT_EQ(Translate(&pad, Axis(y, 0)), std::vector<Key>{Up(40)});
    EXPECT_EQ(Translate(&pad, Axis(x, 0)), std::vector<Key>{Up(37)});

    // The right stick and the triggers are not used.
    const int32_t unused[] = {SDL_CONTROLLER_AXIS_RIGHTX, SDL_CONTROLLER_AXIS_RIGHTY,
                              SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT};
    for (int32_t a : unused) {
        EXPECT_EQ(Translate(&pad, Axis(a, 32767)), None) << "axis " << a;
        EXPECT_EQ(Translate(&pad, Axis(a, -32768)), None) << "axis " << a;
    }
}

TEST(PadSharing, AKeyHeldTwiceComesUpWhenTheLastHolderLetsGo) {
    PadState pad{};
    const int32_t left = SDL_CONTROLLER_BUTTON_DPAD_LEFT;
    // The D-pad and the stick of one controller.
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, left)), std::vector<Key>{Down(37)});
    EXPECT_EQ(Translate(&pad, Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768)), None);
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONUP, left)), None) << "the stick holds it";
    EXPECT_EQ(Translate(&pad, Axis(SDL_CONTROLLER_AXIS_LEFTX, 0)), std::vector<Key>{Up(37)});

    // Two controllers.
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A, First)),
              std::vector<Key>{Down(13)});
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A, Second)),
              None);
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_A, First)),
              None);
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_A, Second)),
              std::vector<Key>{Up(13)});
}

TEST(PadDevices, AControllerPulledOutLetsGoOfWhatItHeld) {
    PadState pad{};
    EXPECT_EQ(Translate(&pad, Device(SDL_CONTROLLERDEVICEADDED, 0)), None);
    Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_START, First));
    Translate(&pad, Axis(SDL_CONTROLLER_AXIS_LEFTY, 32767, First));
    Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_X, Second));
    Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN, Second));

    // Down stays held by the other controller; Start's space comes up.
    EXPECT_EQ(Translate(&pad, Device(SDL_CONTROLLERDEVICEREMOVED, First)),
              std::vector<Key>{Up(32)});
    EXPECT_EQ(Translate(&pad, Device(SDL_CONTROLLERDEVICEREMOVED, First)), None);
    EXPECT_EQ(Translate(&pad, Device(SDL_CONTROLLERDEVICEREMOVED, Second)),
              (std::vector<Key>{Up(40), Up(83)}));

    // Plugged in again with the same number: it starts with nothing held.
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_X, Second)),
              None);
}

TEST(PadDevices, MoreControllersThanSlotsAreIgnoredNotMixedUp) {
    PadState pad{};
    for (SDL_JoystickID id = 0; id < PadMaxControllers; ++id)
        Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_Y, 100 + id));
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A, 999)),
              None);
    // One goes: its slot serves the newcomer.
    Translate(&pad, Device(SDL_CONTROLLERDEVICEREMOVED, 100));
    EXPECT_EQ(Translate(&pad, Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A, 999)),
              std::vector<Key>{Down(13)});
}

TEST(PadDevices, KeyboardAndMouseEventsAreNotTheControllers) {
    PadState pad{};
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_LEFT;
    EXPECT_EQ(Translate(&pad, key), None);
    // And a controller event gives no event of the keyboard's kind.
    PenState pen{};
    Event out[2]{};
    EXPECT_EQ(TranslateEvent(Button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A),
                             PenScale{640, 480, 640, 480, 640, 480}, &pen, out),
              0);
}

// The events the queue hands out until a timer's comes (set beforehand,
// so that a controller that says nothing cannot hang the test).
std::vector<Event> DrainUntilTimer() {
    std::vector<Event> got;
    Event e{};
    while (PlatformGetEvent(&e) && e.kind != EVENT_TIMER) got.push_back(e);
    return got;
}

TEST(PadQueue, AControllerPluggedInWhileRunningPlaysAtOnce) {
    ASSERT_TRUE(StartSdl(SDL_INIT_EVENTS));
    PadStart();
    ASSERT_NE(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u) << SDL_GetError();

    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "test pad";
    const int32_t index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(index)) << "SDL maps a virtual controller itself";
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);

    // The added event opens it: the queue has nothing for the game yet.
    PlatformSetTimer(DesktopWindow, 7, 50);
    EXPECT_TRUE(DrainUntilTimer().empty());
    SDL_GameController* controller = SDL_GameControllerFromInstanceID(id);
    ASSERT_NE(controller, nullptr) << "opened when it was plugged in";
    SDL_Joystick* stick = SDL_GameControllerGetJoystick(controller);

    // A, then the stick pushed left.
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    std::vector<Event> got = DrainUntilTimer();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].kind, EVENT_KEY_DOWN);
    EXPECT_EQ(got[0].key, 13u);
    EXPECT_EQ(got[0].source, KEY_FROM_PAD);
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, -30000);
    got = DrainUntilTimer();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].kind, EVENT_KEY_DOWN);
    EXPECT_EQ(got[0].key, 37u);

    // Pulled out with both held: both come up, and it is closed.
    SDL_JoystickDetachVirtual(index);
    got = DrainUntilTimer();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].kind, EVENT_KEY_UP);
    EXPECT_EQ(got[0].key, 37u);
    EXPECT_EQ(got[1].kind, EVENT_KEY_UP);
    EXPECT_EQ(got[1].key, 13u);
    EXPECT_EQ(SDL_GameControllerFromInstanceID(id), nullptr);
    PlatformKillTimer(DesktopWindow, 7);
}

} // namespace
