// The engineering model of the player's ship.
#pragma once

#include <cstdint>

struct SceneItem;

void dunUpdateEngineering(SceneItem *item);
// The simulator SIM_ENG: turns the object about its own position.
void dunSimSpin(SceneItem *item);

// The player's component network moves from one hull object to another.
void dunCopyComponentNetwork(SceneItem *from, SceneItem *to);

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
// The hull fraction of the ship with the engineering network (1.0 intact)
// and its shield value (0 when the shields are down).
extern float dunHullFraction;
extern float dunShieldValue;
// Damage tells the model a component's health before and after a hit, and
// has the engineering display drawn again.
void dunComponentDamaged(EngComponent *component, float before, float after);
void dunRefreshEngineeringDisplay();
