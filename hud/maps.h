// The star map, the solar navigation map and the in-flight map overlay.
#pragma once

#include <cstdint>

extern uint8_t gStarMapOpen;
extern uint8_t gSolarMapOpen;
extern uint8_t gMapOverlayOpen;

void NavMapCloseIfOpen();
