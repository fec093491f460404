// Collision response: the contact handlers objects carry in their Avatar,
// and what a destroyed object does.
#pragma once

#include <cstdint>

#include "world/records.h"

// Removes the object (a destroyed handler: launchers and hook actions).
void dunDestroySelf(SceneItem *item, const DamageRecord *record);
void dunContactPlasmaBall(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                          float *point);
void dunContactProjectile(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                          float *point);
// The standard destruction: parts break off a visible object, an unseen
// one is broken into a wreck.
void dunApplyDamage(SceneItem *item, const DamageRecord *record);
