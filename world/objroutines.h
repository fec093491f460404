// Routines of special objects: tracking list, stock launches, gates.
#pragma once

struct SceneItem;

void dunUntrackObject(SceneItem *item);
void dunLaunchStockNearby();
void dunSimChaos(SceneItem *item);
void dunSimStargate(SceneItem *item);
