// The fixed pools of the world's records. Each pool is a static array with a
// rotating cursor: a take starts after the record handed out last, skips
// records in use, and clears the one it hands out. Release is not a call:
// the owner clears the record's in-use bit.
#pragma once

#include <cstdint>

#include "world/records.h"

constexpr int kMaxSceneItems = 400;
constexpr int kMaxAvatars = 400;
constexpr int kMaxActions = 30;
constexpr int kMaxSims = 400;
constexpr int kMaxWeapons = 240;
constexpr int kMaxTDPs = 600;
constexpr int kMaxShipInfos = 90;
constexpr int kMaxBigHUDs = 20;
constexpr int kMaxHUDs = 200;
constexpr int kMaxLargeParticleSystems = 20;
constexpr int kMaxSmallParticleSystems = 50;
constexpr int kLargeParticleCount = 250;
constexpr int kSmallParticleCount = 44;
// Docking ports hang in lists of their ShipInfo; a port is free again once
// its in-use bit is cleared (the ship is deleted).
constexpr int kMaxDockingPorts = 360;

extern SceneItem dunSceneItemPool[kMaxSceneItems];
extern Avatar dunAvatarPool[kMaxAvatars];
extern Action dunActionPool[kMaxActions];
extern Sim dunSimPool[kMaxSims];
extern Weapon dunWeaponPool[kMaxWeapons];
extern TDP dunTDPPool[kMaxTDPs];
extern ShipInfo dunShipInfoPool[kMaxShipInfos];
extern HUD dunBigHUDPool[kMaxBigHUDs];
extern HUD dunHUDPool[kMaxHUDs];
extern ParticleSystem dunLargeParticlePool[kMaxLargeParticleSystems];
extern ParticleSystem dunSmallParticlePool[kMaxSmallParticleSystems];
extern DockingPort dunDockingPortPool[kMaxDockingPorts];

// The frame counter the SceneItem pool compares release frames with, and the
// current star system new objects belong to, are read from their owners.

SceneItem *dunAllocSceneItem();
Avatar *dunAllocAvatar();
Action *dunAllocAction();
Sim *dunAllocSim();
Weapon *dunAllocWeapon();
TDP *dunAllocTDP();
ShipInfo *dunAllocShipInfo();
HUD *dunAllocBigHUD();
HUD *dunAllocHUD();
// The cockpit's perimeter box round the defended base (null while the
// cockpit set is not built); the defence network's guards show and hide it.
extern HUD *dunPerimeterBox;
DockingPort *dunAllocDockingPort();
// None when the pool is full (no report): the caller skips the effect.
ParticleSystem *dunAllocLargeParticleSystem();
ParticleSystem *dunAllocSmallParticleSystem();
// The length of a particle system's own array (250 or 44; 0 for a record of
// neither pool).
int dunParticleCapacity(const ParticleSystem *system);

// Collision models are heap records in one global list.
CollisionModel *dunAllocCollisionModel();
CollisionModel *dunFindCollisionModel(const void *model);
void dunFreeCollisionBoxes(HitBox *box);
void dunFreeCollisionModels();
WireframeNode *dunAllocWireframeNode();

// Game start and every mission reset: reseeds the random generator, clears
// every pool, puts each cursor on its first record, clears the frame's copy
// of the key-down table and frees the collision models.
void dunResetPools();

// Generation of a pool record: bumped on every allocation so that a handle
// taken before the record was handed out again no longer resolves.
enum class PoolKind : uint8_t { SceneItem = 1, Avatar, Sim, TDP, Weapon, ShipInfo, Action };
uint16_t dunPoolGeneration(PoolKind kind, int index);
