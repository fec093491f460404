// Collision detection: the per-step reset and the broad and narrow phases.
#pragma once

void dunResetFrameFlags();
void dunCollisionPass();
