// The engineering model of the player's ship.
#pragma once

void dunBuildShipSystems();
void dunSaveComponentTable();
