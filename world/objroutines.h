// Routines of special objects: tracking list, stock launches, gates, the
// plasma ball and gas shell, the forced LDS drop-out.
#pragma once

#include <cstdint>

struct SceneItem;

void dunUntrackObject(SceneItem *item);
void dunLaunchStockNearby();
void dunSimChaos(SceneItem *item);
void dunSimStargate(SceneItem *item);
void dunSimPlasmaBall(SceneItem *ball);
void dunSimGasShell(SceneItem *shell);
// The jolt of a forced LDS drop-out.
void dunDropLds(SceneItem *ship);
// The simulator of an object that follows its partner at a stored distance
// (a towed object).
void dunSimFollowLinked(SceneItem *item);
