// Collision detection: the per-step reset and the broad and narrow phases.
#pragma once

#include <cstdint>

void dunResetFrameFlags();
void dunCollisionPass();

// A model dropped on the window went onto the player's ship: its collision
// model is attached to the root part and the part radii and the object
// radius are refreshed.
void dunRefreshPlayerCollision(void *model);
// Impacts on bodies with gravity, counted by their contact handler.
extern int32_t dunGravityImpacts;
