// Ray and line-of-sight queries: fast objects traced as segments against
// parts, the pick of the object nearest an aim axis, and the nearest flagged
// part near a point.
#pragma once

#include <cstdint>

#include "world/records.h"

struct Weapon;

// The node on a hit (the contact point, in world axes, goes to point), or null.
TDP *dunRayHitsNode(SceneItem *ray, TDP *node, Vec3 *point);
uint8_t dunRayToNodeFrame(const Mat4 *rayMatrix, const Mat4 *ownerMatrix, TDP *node, float x, float y, float z,
                          Vec3 *point);
uint8_t dunRayHitsHitBoxes(const Vec3 *origin, TDP *node, const Vec3 *direction, Vec3 *point);
SceneItem *dunRayHitsObject(SceneItem *item, Weapon *weapon, uint32_t include, uint32_t exclude, float *distance,
                            SceneItem *skip);
// How far off the aim axis an object lies (lateral x projection scale /
// depth); -1e10 for an object the masks rule out.
float dunAimScore(const Mat4 *aim, SceneItem *item, uint32_t include, uint32_t exclude, float *lateral);
TDP *dunFindObjectByFlags(uint32_t mask, uint32_t exclude, float x, float y, float z, float radius);
TDP *dunNearestFlaggedNode(uint32_t mask, uint32_t exclude, TDP *node, float x, float y, float z, float *best);
