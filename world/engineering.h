// The engineering model of the player's ship.
#pragma once

#include <cstdint>

struct SceneItem;

void dunUpdateEngineering(SceneItem *item);
// The simulator SIM_ENG: turns the object about its own position.
void dunSimSpin(SceneItem *item);

void dunBuildShipSystems();
void dunSaveComponentTable();

struct EngComponent;
// The component of that name in a ship's system network, or null.
EngComponent *dunFindComponentByName(SceneItem *ship, const char *name);
// A component's state byte.
uint8_t dunComponentState(const EngComponent *component);
// The two shield components of the player's ship: their level (1.0 when
// intact), and a shield strike, which adds 100 to both their timers and
// takes the loss off both levels (not below 0).
float dunShieldLevel(int which);
void dunShieldStrike(float loss);
