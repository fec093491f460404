// The universe of star systems: the current system and its services.
#pragma once

#include <cstdint>

struct SceneItem;

// The star system the player is in; new objects belong to it.
extern uint16_t dunCurrentSystem;
