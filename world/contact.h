// Collision response: the contact handlers objects carry in their Avatar,
// and what a destroyed object does. Handlers are called as (own object, own
// part, other object, other part, the shared handled flag, the contact
// point); most act only for the first of the two handlers of a contact.
#pragma once

#include <cstdint>

#include "world/records.h"

// The collision-damage switch (0xFF while the "collisions" option is 0, the
// default); ship contacts do damage only while it is set.
extern uint8_t dunCollisionDamage;
// The impact jolt level the renderer shakes the view by.
extern uint8_t dunImpactJolt;

void dunCollideShips(SceneItem *a, TDP *aNode, SceneItem *b, TDP *bNode, int16_t *handled, float *point);
void dunContactBounce(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                      float *point);
void dunContactPlasmaBall(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                          float *point);
void dunContactProjectile(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                          float *point);
void dunContactGravityBody(SceneItem *body, TDP *bodyNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                           float *point);
void dunContactLogBody(SceneItem *body, TDP *bodyNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                       float *point);
void dunContactScripted(SceneItem *bay, TDP *bayNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                        float *point);
void dunContactImpact(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                      float *point);
void dunContactEffect(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                      float *point);
void dunContactExplode(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                       float *point);
void dunContactDestroy(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                       float *point);
void dunDestroyOnContact(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                         float *point);

// Destroyed handlers (the Avatar's second handler), called with the record
// of the destruction.
// Removes the object (launchers and hook actions).
void dunDestroySelf(SceneItem *item, const DamageRecord *record);
// Breaks debris off a carrier, else the standard destruction.
void dunDamageWithDebris(SceneItem *item, const DamageRecord *record);
// The standard destruction: parts break off a visible object, an unseen
// one is broken into a wreck.
void dunApplyDamage(SceneItem *item, const DamageRecord *record);
void dunBreakOffDebris(SceneItem *item, float x, float y, float z, uint8_t planar, uint8_t explode);
