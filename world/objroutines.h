// Routines of special objects: tracking list, stock launches, gates.
#pragma once

#include <cstdint>

struct SceneItem;

void dunUntrackObject(SceneItem *item);
void dunLaunchStockNearby();
void dunSimChaos(SceneItem *item);
void dunSimStargate(SceneItem *item);
// The simulator of an object that follows its partner at a stored distance
// (a towed object).
void dunSimFollowLinked(SceneItem *item);
// Adds an event hook: on event 0..10 the object runs hook action `action`
// (flag 4) or plays the sound resource (flag 2).
void dunAddEventHook(SceneItem *item, int event, uint32_t flags, int action, void *sound);
