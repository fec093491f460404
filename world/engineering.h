// The engineering model of the player's ship.
#pragma once

struct SceneItem;

void dunUpdateEngineering(SceneItem *item);
// The simulator SIM_ENG: turns the object about its own position.
void dunSimSpin(SceneItem *item);

void dunBuildShipSystems();
void dunSaveComponentTable();
