// Ship, weapon and docking statements: the ship classes and their set-up,
// object creation and placement for ships, and the mission-wide words these
// statements set.
#pragma once

#include <cstdint>

#include "script/objects.h"
#include "world/records.h"

struct ScriptSymbol;

// The ship-class keywords CORVETTE .. RING: the class name becomes the
// ship's full name until its own replaces it; the set-up routine is called
// with the object and the class name.
struct ShipClassRow {
    const char *name;
    void (*setup)(SceneItem *item, const char *name);
};
constexpr int kShipClassCount = 19;
extern const ShipClassRow kShipClassTable[kShipClassCount];
void dunHeadlessShipClassSetup(SceneItem *item, const char *name);
void dunMineShipClassSetup(SceneItem *item, const char *name);
void dunStationShipClassSetup(SceneItem *item, const char *name);

// The side index of a ship record from the side bits of an Avatar flag word
// (0x1F80 looked at; NEUTRAL and no bit give 0).
int16_t dunSideFromBits(uint32_t flags);

// Mission-wide words of these statements.
extern int32_t gOrbitType;             // ORBTYPE, read by the HUD
extern int32_t gDisruptCountdown;      // the cockpit's disruption count-down (centiseconds)
extern SceneItem *gFtlSource;          // FTLSOURCE's object and switch
extern uint8_t gFtlSourceOn;
extern uint8_t gRandomShipNumber;      // 0..99, drawn by SHIP and CREATE_SHIP
extern uint8_t gDirectorAllow[14];     // DIRECTOR_ALLOW: 0xFF on, 0 off, by DIR_* event
extern uint8_t gAlienDevice;           // ALIENDEV
extern uint8_t gAlienDeviceNotice;
extern uint8_t gDockingInProgress;     // raised while DOCK runs
extern uint8_t gWeaponLoadRequest;     // DOWEPLOAD asks for the weapon-loading screen
extern float gArcadeWeaponFactor;      // 1.0 as shipped

// The per-mission reset of these words.
void ResetShipStatements();
