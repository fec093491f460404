// The object list: one circular, doubly linked list of SceneItems with a
// sentinel head, split by the cursor into ordinary objects and appended
// objects; the parked list; object creation, part trees, deletion and the
// mission reset.
#pragma once

#include <cstdint>

#include "world/records.h"

// The sentinel heads (never objects themselves).
SceneItem *dunSceneListHead();
SceneItem *dunParkedListHead();
// Either the sentinel or the first appended object.
extern SceneItem *dunCurrentItem;
extern SceneItem *dunPlayerShip;
extern SceneItem *dunControlledObject;
// The player camera object ("CamPly", made by the presentation); null while
// there is none. Sounds are placed from it.
extern SceneItem *dunPlayerCamera;
// Counts every change of the lists' links (inserts, removals, resets): a
// walk that keeps a copy of the list's order knows it from this when to
// take it again.
extern uint32_t dunSceneListChanges;
// Objects deleted since the mission's reset (the cockpit's body count).
extern int32_t dunDeletedObjectCount;
// Set when the player's ship has been destroyed and its wreck took its place.
extern uint8_t dunPlayerDestroyed;

// Weights of the mission's destruction total by ShipInfo type code.
constexpr int kKillValueCount = 20;
extern const float dunKillValues[kKillValueCount];

// List
SceneItem *dunLinkSceneItem(SceneItem *item, uint32_t flags);
void dunMoveNextToCurrent(SceneItem *item);
void dunMoveToFront(SceneItem *item);
bool dunCheckSceneList();
bool dunIsInSceneList(const SceneItem *item);
// The first object whose Avatar flags hold every bit of the mask, and the
// next one after a given object; null at the end of the list.
SceneItem *dunFirstObjectWithFlags(uint32_t mask);
SceneItem *dunNextObjectWithFlags(SceneItem *item, uint32_t mask);
void dunParkSceneItem(SceneItem *item, double dx, double dy, double dz);
void dunTranslateSceneItem(SceneItem *item, double dx, double dy, double dz);
void dunReleaseTreeActors(TDP *node);

// Creation
SceneItem *dunCreateSceneItem();
Sim *dunAttachSim(SceneItem *item, SimulatorRoutine simulator);
void dunSetControlRoutine(SceneItem *item, ControlRoutine routine);
void dunSetDrawRoutines(SceneItem *item, ModelUpdateRoutine modelUpdate, PresentationRoutine presentation);
uint32_t dunSetMessageHandler(SceneItem *item, MessageHandler handler);
TDP *dunNewTDP();
TDP *dunAttachTDP(SceneItem *item);
TDP *dunAddChildTDP(TDP *parent, void *model, float x, float y, float z);
TDP *dunAddSiblingTDP(TDP *node, void *model, float x, float y, float z);
TDP *dunAppendTDP(TDP *node, void *model, float x, float y, float z);
// P3 (LDS growth, percent per second) and P4 (maximum LDS speed) are whole
// numbers; the others are floats.
void dunInitFlightParams(FlightParams *block, float p1, float p2, uint32_t p3, uint32_t p4, float p5,
                         float p6, float p7, float p8);
// A block of its own for a round; such blocks are returned at the world reset.
FlightParams *dunNewFlightParams(float p1, float p2, float p5, float p6, float p7, float p8);
void dunScaleShipPerformance(SceneItem *item);

// Trees and queries
int CountNodeInTree(const TDP *root, const TDP *node);
// The node of the item's tree whose first-child or next-sibling link is the
// given node; slot receives that link's address (null for the root itself).
TDP *FindNodeById(SceneItem *item, TDP *node, TDP ***slot);
double ObjectDistance(const SceneItem *a, const SceneItem *b, Vec3 *difference);
void dunComputeModelRadius(TDP *node);
void dunDetachNode(TDP *node);

// Deletion and reset
SceneItem *dunDeleteSceneItem(SceneItem *item);
void dunReleaseTree(SceneItem *item, TDP *node);
SceneItem *dunCreatePlayerWreck(SceneItem *ship);
void dunResetObjectLists();
void dunResetWorld();
bool dunCheckFloat(float value);
