// Key and joystick bindings: set by the key-binding script, read by the
// cockpit's key handler, the look-around and the flight controls.
#pragma once

#include <cstdint>

constexpr int kBindModifiers = 3;  // none, left Shift, left Ctrl
constexpr int kBindKeys = 256;
// The command of each modifier and scan code; 0 unbound.
extern uint16_t KeyBindingTable[kBindModifiers][kBindKeys];

// The six look commands (R_LOOK_FORWARD .. R_LOOK_DOWN, 203 .. 208) are held
// keys: a look is active while its key is down and the left Shift key-state
// byte, taken as signed, equals `shift` (the negated modifier).
constexpr uint16_t kFirstLookCommand = 203, kLastLookCommand = 208;
struct LookKey {
    uint16_t scan;
    int16_t shift;
};
extern LookKey gLookKeys[kLastLookCommand - kFirstLookCommand + 1];

// The two thrust keys the flight polls are the world's (dunThrustKeys,
// world/flight.h); BINDKEYTHR sets them.

// Joystick axis roles (role to axis of the axis array) and the inversion
// flag of each role.
constexpr int kJoyRoles = 7;
extern int32_t gJoyAxisRole[kJoyRoles];
extern int32_t gJoyAxisInvert[kJoyRoles];

// Everything back to the start values (tests, a fresh start).
void ResetBindings();
