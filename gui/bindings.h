// Key and joystick bindings: set by the key-binding script, read by the
// cockpit's key handler, the look-around and the flight controls.
#pragma once

#include <cstdint>

#include "present/cameras.h"

constexpr int kBindModifiers = 3;  // none, left Shift, left Ctrl
constexpr int kBindKeys = 256;
// The command of each modifier and scan code; 0 unbound.
extern uint16_t KeyBindingTable[kBindModifiers][kBindKeys];

// The six look commands' keys are the look-around's (gLookKeys,
// present/cameras.h).

// The two thrust keys the flight polls are the world's (dunThrustKeys,
// world/flight.h); BINDKEYTHR sets them.

// Joystick axis roles (role to axis of the axis array) and the inversion
// flag of each role.
constexpr int kJoyRoles = 7;
extern int32_t gJoyAxisRole[kJoyRoles];
extern int32_t gJoyAxisInvert[kJoyRoles];

// The first key bound to a command: modifier rows 0 then 1, scan codes in
// order; false when none is.
bool guiFindKeyBinding(uint16_t command, int *modifier, int *scan);

// Everything back to the start values (tests, a fresh start).
void ResetBindings();
