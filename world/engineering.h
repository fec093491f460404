// The engineering model of the player's ship: a network of 35 components
// (reactor, ring, grids, accumulators, coolant, fuel and antimatter, weapons,
// thrusters, drives, hull) whose values follow their inputs each frame, heat
// up with use, deliver less when damaged, scale the ship's performance and
// are mended by four repair teams. Built once at game start on a template
// object; each mission hands it to the player's ship.
#pragma once

#include <cstdint>

struct SceneItem;
struct EngComponent;

constexpr int kEngComponentCount = 35;
constexpr int kEngTableSize = 40;
constexpr int kRepairTeamCount = 4;

struct RepairTeam {
    uint16_t number;
    uint16_t rate;
    EngComponent *component;
};
extern RepairTeam dunRepairTeams[kRepairTeamCount];
extern uint8_t dunRepairTeamBusy[kRepairTeamCount];

// The component pointer table (build order, sorted by kind x 100 + index
// once the sort flag is seen) and its count.
extern EngComponent *dunComponentTable[kEngTableSize];
extern int dunComponentTableCount;
// The power available: the mean of the six power grids.
extern EngComponent dunEngDummy;

// The ship whose network the engineering screen shows (the player's).
extern SceneItem *dunEngineeringShip;
// The three power shares in percent (100 after the reset).
extern float dunLdaShare, dunThrusterShare, dunWeaponShare;
extern uint8_t dunRepairEnabled;
extern uint8_t dunEngSortPending;
extern uint8_t dunEmergencyInUse;

// Game start: the template object with its 35 components and their
// recorders, the repair teams; the state saved as the mission start state.
void dunBuildShipSystems();
void dunAddComponent(SceneItem *holder, EngComponent *component, int group, int kind, int index, float initial,
                     float temperature);
void dunSaveComponentTable();
void dunRestoreComponentTable();
// Mission start: the engineering ship takes the network in its start state
// and its flight figures become the nominal ones the network scales.
void dunResetEngineering();
// The player's component network moves from one hull object to another
// (the engineering ship goes with it).
void dunCopyComponentNetwork(SceneItem *to, SceneItem *from);
// The template's component of that English name, or null (the first
// argument is not used).
EngComponent *dunFindComponentByName(SceneItem *ship, const char *name);
// A component's switched-on byte.
uint8_t dunComponentState(const EngComponent *component);
// Every component intact and the ship's damage mask clear.
void dunRestoreAllComponents();
// One frame of the network for the object (the player's ship).
void dunUpdateEngineering(SceneItem *item);
void dunAssignRepairTeam(EngComponent *component);
void dunReleaseRepairTeam(RepairTeam *team);
void dunReleaseIdleTeams();
// A component's health changed: the failure and repair sounds, and the
// damage-mask bits cleared when it is whole again.
void dunComponentHealthEvents(float before, float after, EngComponent *component);
// The screen widgets' colours from the components' health.
void dunRefreshEngineeringDisplay();
// The simulator SIM_ENG: turns the object about its own position.
void dunSimSpin(SceneItem *item);

// The hull fraction the damage books hits against (1.0 at the mission's
// reset), and the armour's value, which halves them while it is not 0.
extern float dunHullFraction;
float dunShieldValue();
// The two shield levels of the player's ship (1.0 when intact) and a shield
// strike, which adds 100 to both their timers and takes the loss off both
// levels (not below 0).
float dunShieldLevel(int which);
void dunShieldStrike(float loss);
