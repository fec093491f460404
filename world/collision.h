// Collision detection: the per-step reset, the broad phase over pairs of
// objects, the narrow phase over their part trees and hit boxes, the
// proximity warning, and the part-tree radii and transforms they rely on.
#pragma once

#include <cstdint>

#include "world/records.h"

// Objects counted by the last per-step reset.
extern int32_t dunObjectCount;
// Set (0xFF) on every step the player's ship is about to run into its
// nearest neighbour; the HUD clears it.
extern uint8_t dunProximityWarning;
// Centiseconds before the warning's text and sound may come again (0..500).
extern int32_t dunProximityHoldOff;
// The "prox_warning" switch of the options screen.
extern uint8_t dunProximityWarningOption;

void dunResetFrameFlags();
void dunCollisionPass();
void dunResetProximity();
void dunCollideTrees(TDP *a, TDP *b);
uint8_t dunCollideNodes(TDP *a, TDP *b);
// Box test of two touching nodes; the separation points from a to b on entry
// and is turned round when b is the larger node.
uint8_t dunCollideBoxes(TDP *b, const Mat4 *bMatrix, TDP *a, const Mat4 *aMatrix, Vec3 *separation);
uint8_t dunPointsInHitBoxes(TDP *smaller, TDP *larger, const Mat4 *smallerMatrix, const Mat4 *largerMatrix,
                            HitBox *boxes, const Vec3 *separation);
uint8_t dunProximityWarningTest(SceneItem *player);
float dunBoxExtentAlong(float x, float y, float z, SceneItem *item);

// Radii and transforms of part trees.
void dunComputeObjectRadius(SceneItem *item);
float dunNodeTreeRadius(TDP *node, float x, float y, float z);
void dunRefreshSceneTransforms();
void dunRefreshAllModelRadii();
void dunRefreshModelRadius(TDP *node);
void dunUpdateNodeTransforms(SceneItem *item);
void dunPropagateNodeTransform(TDP *node, const Mat4 *parentFrame, const Vec3 *parentPosition);
// A model just put on an object: its collision model is found again for the
// root part, and the part and object radii are computed afresh.
void dunRefreshModelCollision(SceneItem *item, void *model);

// Parts and shapes.
SceneItem *dunSpawnScene(SceneItem *item, TDP *node);
// Points the link that holds the old node anywhere in the tree at the new
// node; the old node, or null when no link holds it. The parent frame is the
// tree root's (the object's orientation); the search carries it down
// unchanged and does not move any part.
TDP *dunReplaceNode(TDP *root, const Mat4 *parentFrame, TDP *oldNode, TDP *newNode);
void dunAddHullPoint(TDP *node, float x, float y, float z);
void dunScaleCollisionVolumes(CollisionModel *model, float size);

// Crashes into bodies this mission (counted by the gravity bodies' contact
// handler).
extern int32_t dunGravityImpacts;
