// Routines of special objects: tracking list, stock launches, gates, the
// plasma ball and gas shell, the forced LDS drop-out.
#pragma once

struct SceneItem;

void dunUntrackObject(SceneItem *item);
void dunLaunchStockNearby();
void dunSimChaos(SceneItem *item);
void dunSimStargate(SceneItem *item);
void dunSimPlasmaBall(SceneItem *ball);
void dunSimGasShell(SceneItem *shell);
// The jolt of a forced LDS drop-out.
void dunDropLds(SceneItem *ship);
