// Wreck break-up: the mesh of a destroyed or torn object's part cut into
// pieces, each a new library model "Shrapnel", flying apart as the parts of
// one debris object or as objects of their own; and the hull-vertex pickers
// of the damage effects.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct TDP;
struct vt_model;

// The part broken by n seeds about the impact point (part frame) into
// pieces of one drifting debris object; the broken object is removed. The
// debris object, or null (no model, or a part outside the object's tree).
// A null object stops the program.
SceneItem *dunBreakNearest(SceneItem *item, TDP *part, int pieces, float x, float y, float z, float exponent);
// The same, each piece an object of its own (with the planar flag: two
// halves cut through the impact point, with caps and debris bursts; with
// the explode flag each piece is destroyed 5 to 6 seconds later). The first
// piece, or null.
SceneItem *dunBreakNearestIntoSceneItems(SceneItem *item, TDP *part, int pieces, float x, float y, float z,
                                         float exponent, uint8_t planar, uint8_t explode);
// The whole object (its root part) as one piece of a wreck object, for a
// destruction nobody saw; the wreck, or null. The caller removes the object.
SceneItem *dunBreakIntoWreck(SceneItem *item);

// The next vertex of the part's model from the cursor whose colour-index
// byte is 0 (cycling once); its position in out ((0, 0, 0) for none) and the
// cursor after it.
uint16_t dunNextUnusedHullVertex(Vec3 *out, const TDP *part, uint16_t cursor);
// A vertex of the part's model with low < z < high, from the cursor (-1: a
// random one), trying at most 45; its position in out ((0, 0, 0) for none)
// and the cursor past it.
int32_t dunRandomHullVertex(Vec3 *out, const TDP *part, int32_t cursor, float zLow, float zHigh);

// The shared material of the pieces' inner faces, set up once for the
// library it lives in (flag word 5, or 6 for the debris object's pieces).
struct vt_material;
vt_material *dunCarbonMaterial(uint32_t flags);

// The seeds of a break (at most 64) about an impact point in a model's
// bounds; an exponent is taken as a whole number.
int dunBreakSeeds(const vt_model *model, Vec3 impact, int count, float exponent, Vec3 *seeds);
