// Joystick, the relative ("DirectInput") mouse and force feedback.
#pragma once

#include <cstdint>

void JoystickInit();
// Reads the joystick (and the relative mouse); returns the axis array.
int32_t *JoystickPoll();
void ffReacquire();
void ffRelease();
void MouseReacquire();
