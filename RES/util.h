// Shared utilities: zero-filled allocation, world re-centring.
#pragma once

#include <cstddef>

void *dunAlloc(size_t size);
void dunFree(void *block);
// Shifts the world back when the player has moved far from the origin.
void WorldRecentreStep();
