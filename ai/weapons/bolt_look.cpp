// The bolts' look, where the firing code meets the presentation's bolt
// models: a beam model of the weapon's visual kind, stretched along the
// bolt's flight each frame, and near the viewer the particle trail a
// head-on bolt shows instead.
#include "ai/weapons.h"
#include "present/effects/effect_models.h"
#include "present/effects/nav_lights.h"

void dunBoltPresentation(SceneItem *bolt) { P3DUpdateBoltTrail(bolt); }

void *dunBoltModel(int visualKind, int variant) { return P3DBeamModel(visualKind, variant); }

void dunAddBoltTrail(SceneItem *bolt, int colour) { ParticlePresetBoltTrail(bolt, uint16_t(colour)); }
