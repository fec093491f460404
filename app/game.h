// Game initialisation, the game frame and shutdown.
#pragma once

#include <cstdint>

extern uint32_t gFrameCounter;
extern uint8_t gPrevKeyState[256];       // the key-down table's copy from the end of the last frame
