// SPDX-License-Identifier: GPL-3.0-or-later
// Game controllers through SDL's game-controller layer, whose buttons are
// numbered as the game's own pad buttons are. Controllers plugged in while
// the game runs work at once.
#include "platform/sdl/desktop.h"

constexpr bool SameNumber(SDL_GameControllerButton sdl, PadButton ours) {
    return static_cast<int32_t>(sdl) == static_cast<int32_t>(ours);
}
static_assert(SameNumber(SDL_CONTROLLER_BUTTON_A, PAD_A) &&
                  SameNumber(SDL_CONTROLLER_BUTTON_Y, PAD_Y) &&
                  SameNumber(SDL_CONTROLLER_BUTTON_BACK, PAD_BACK) &&
                  SameNumber(SDL_CONTROLLER_BUTTON_START, PAD_START) &&
                  SameNumber(SDL_CONTROLLER_BUTTON_DPAD_UP, PAD_DPAD_UP) &&
                  SameNumber(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PAD_DPAD_RIGHT),
              "SDL numbers a controller's buttons as the game does");

int32_t TranslatePadEvent(const SDL_Event& event, PadState* pad, Event out[PadMaxEvents]) {
    switch (event.type) {
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        const SDL_ControllerButtonEvent& b = event.cbutton;
        return PadButtonChange(pad, b.which, b.button, event.type == SDL_CONTROLLERBUTTONDOWN, out);
    }
    case SDL_CONTROLLERAXISMOTION: {
        const SDL_ControllerAxisEvent& a = event.caxis;
        if (a.axis == SDL_CONTROLLER_AXIS_LEFTX)
            return PadStickChange(pad, a.which, PAD_AXIS_X, a.value, out);
        if (a.axis == SDL_CONTROLLER_AXIS_LEFTY)
            return PadStickChange(pad, a.which, PAD_AXIS_Y, a.value, out);
        return 0;
    }
    case SDL_CONTROLLERDEVICEREMOVED: return PadRemoved(pad, event.cdevice.which, out);
    default: return 0;
    }
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

void PadStart() { StartSdl(SDL_INIT_GAMECONTROLLER); }
