// Collision detection: the per-step reset and the broad and narrow phases.
#pragma once

void dunResetFrameFlags();
void dunCollisionPass();

struct SceneItem;
struct TDP;
// A node's radius from its collision model's size, else from its model.
void dunRefreshModelRadius(TDP *node);
// The bounding radius of the object's node tree, stored as its Sim radius.
void dunComputeObjectRadius(SceneItem *item);
