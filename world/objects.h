// The object list and its lifecycle; the player's ship.
#pragma once

#include <cstdint>

struct SceneItem;

extern SceneItem *dunPlayerShip;

void dunResetObjectLists();
void dunResetWorld();

// The record fields of the player's ship that the game frame reads and
// writes (0 / nothing without a player ship).
uint32_t dunPlayerAvatarFlags();
void dunClearPlayerSimFlags(uint32_t bits);
// A model dropped on the window: the player's ship takes its collision
// model and radii, and is marked as re-modelled.
void dunRefreshPlayerCollision(void *model);
