#pragma once

#include <SDL2/SDL.h>

#include "os/input.h"

namespace ruvotest {

// An SDL virtual joystick for the test's lifetime; the game's joystick is
// closed and the stick detached afterwards.
struct VirtualStick {
    int index = -1;
    SDL_Joystick *joy = nullptr;
    VirtualStick(int axes, int buttons, int hats) {
        // Once a test has made a window, SDL drops stick input while no
        // window has the focus, and an off-screen window never has it.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, axes, buttons, hats);
        joy = SDL_JoystickOpen(index);
    }
    ~VirtualStick() {
        osJoystickClose();
        if (joy) SDL_JoystickClose(joy);
        if (index >= 0) SDL_JoystickDetachVirtual(index);
    }
    VirtualStick(const VirtualStick &) = delete;
    VirtualStick &operator=(const VirtualStick &) = delete;
    // Axis values as the game reads them after centring and dividing by
    // 100 (the SDL value is shifted by 32768 and the centre is 32767).
    void Deflect(int axis, int hundredths) { SDL_JoystickSetVirtualAxis(joy, axis, Raw(hundredths)); }
    static Sint16 Raw(int v) { return static_cast<Sint16>(v * 100 - 1); }
};

}  // namespace ruvotest
