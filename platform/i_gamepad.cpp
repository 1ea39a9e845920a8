// Game controllers as keys: the D-pad and the left stick are the arrows, A is
// Enter, Start Space, Back Escape, Y the O key, X the S key, and B a key of
// its own. Controllers plugged in while the game runs work at once.
#include "platform/sdl_internal.h"

namespace {
constexpr uint32_t VK_RETURN = 13, VK_ESCAPE = 27, VK_SPACE = 32;
constexpr uint32_t VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40;
constexpr uint32_t VK_O = 'O', VK_S = 'S';

// Every key a controller gives, in the order its messages go out.
constexpr uint32_t PadKeys[PadMaxMessages] = {VK_LEFT,  VK_UP,     VK_RIGHT, VK_DOWN, VK_RETURN,
                                              VK_SPACE, VK_ESCAPE, VK_O,     VK_S,    VK_PAD_B};

uint32_t KeyOfButton(int32_t button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return VK_RETURN;
    case SDL_CONTROLLER_BUTTON_B: return VK_PAD_B;
    case SDL_CONTROLLER_BUTTON_X: return VK_S;
    case SDL_CONTROLLER_BUTTON_Y: return VK_O;
    case SDL_CONTROLLER_BUTTON_BACK: return VK_ESCAPE;
    case SDL_CONTROLLER_BUTTON_START: return VK_SPACE;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return VK_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return VK_DOWN;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return VK_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return VK_RIGHT;
    default: return 0;
    }
}

// The bit of a key in a set of held keys.
uint32_t KeyBit(uint32_t key) {
    for (int32_t i = 0; i < PadMaxMessages; ++i)
        if (PadKeys[i] == key) return 1u << i;
    return 0;
}

uint32_t HeldKeys(const PadState& pad) {
    uint32_t held = 0;
    for (const PadController& c : pad.controllers) {
        if (!c.used) continue;
        for (int32_t button = 0; button < 32; ++button)
            if ((c.buttons >> button) & 1u) held |= KeyBit(KeyOfButton(button));
        if (c.stickX != 0) held |= KeyBit(c.stickX < 0 ? VK_LEFT : VK_RIGHT);
        if (c.stickY != 0) held |= KeyBit(c.stickY < 0 ? VK_UP : VK_DOWN);
    }
    return held;
}

// The controller's slot, taken when it is first heard from; nullptr when
// every slot is taken.
PadController* Controller(PadState* pad, SDL_JoystickID id) {
    PadController* free = nullptr;
    for (PadController& c : pad->controllers) {
        if (c.used && c.id == id) return &c;
        if (!c.used && free == nullptr) free = &c;
    }
    if (free != nullptr) *free = PadController{true, id, 0, 0, 0};
    return free;
}

// Where the stick points along one axis, with the dead zone's hysteresis.
int8_t StickDirection(int8_t current, int32_t value) {
    if (value >= PadStickPress) return 1;
    if (value <= -PadStickPress) return -1;
    if (current > 0 && value > PadStickRelease) return 1;
    if (current < 0 && value < -PadStickRelease) return -1;
    return 0;
}

void Apply(const SDL_Event& event, PadState* pad) {
    switch (event.type) {
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        const SDL_ControllerButtonEvent& b = event.cbutton;
        if (b.button >= 32) return;
        PadController* c = Controller(pad, b.which);
        if (c == nullptr) return;
        const uint32_t bit = 1u << b.button;
        c->buttons = event.type == SDL_CONTROLLERBUTTONDOWN ? c->buttons | bit : c->buttons & ~bit;
        return;
    }
    case SDL_CONTROLLERAXISMOTION: {
        const SDL_ControllerAxisEvent& a = event.caxis;
        if (a.axis != SDL_CONTROLLER_AXIS_LEFTX && a.axis != SDL_CONTROLLER_AXIS_LEFTY) return;
        PadController* c = Controller(pad, a.which);
        if (c == nullptr) return;
        int8_t& direction = a.axis == SDL_CONTROLLER_AXIS_LEFTX ? c->stickX : c->stickY;
        direction = StickDirection(direction, a.value);
        return;
    }
    case SDL_CONTROLLERDEVICEREMOVED:
        for (PadController& c : pad->controllers)
            if (c.used && c.id == event.cdevice.which) c = PadController{};
        return;
    default: return;
    }
}
} // namespace

int32_t TranslatePadEvent(const SDL_Event& event, PadState* pad, Message out[PadMaxMessages]) {
    const uint32_t before = HeldKeys(*pad);
    Apply(event, pad);
    const uint32_t after = HeldKeys(*pad);
    int32_t n = 0;
    for (int32_t i = 0; i < PadMaxMessages; ++i)
        if ((before & ~after) >> i & 1u)
            out[n++] = Message{DesktopWindow, MSG_KEYUP, PadKeys[i], KEY_FROM_PAD};
    for (int32_t i = 0; i < PadMaxMessages; ++i)
        if ((after & ~before) >> i & 1u)
            out[n++] = Message{DesktopWindow, MSG_KEYDOWN, PadKeys[i], KEY_FROM_PAD};
    return n;
}

void PadDeviceEvent(const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        // Added events carry the device's index; the others its instance.
        const int32_t index = event.cdevice.which;
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        if (SDL_IsGameController(index) && SDL_GameControllerFromInstanceID(id) == nullptr)
            SDL_GameControllerOpen(index);
    } else if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
        if (SDL_GameController* c = SDL_GameControllerFromInstanceID(event.cdevice.which))
            SDL_GameControllerClose(c);
    }
}

void PadStart() {
    StartSdl(SDL_INIT_GAMECONTROLLER);
}
