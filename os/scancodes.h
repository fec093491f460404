// SDL scancodes to the PC set-1 scan codes the game's key words carry.
#pragma once

#include <cstdint>

// The set-1 scan code (low byte) of an SDL scancode, 0 for keys without one.
// Keys that set 1 sends with the E0 prefix (right Ctrl and Alt, the cursor
// block, keypad Enter and divide, the Windows keys) report `extended`, the
// way the extended-key bit of a key message does; their scan code is the one
// of the key they duplicate.
uint8_t osScancodeToSet1(int sdlScancode, bool *extended);
