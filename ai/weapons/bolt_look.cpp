// The bolts' look, where the firing code meets the presentation's bolt
// models. Until the presentation builds its beam models and the bolt trail,
// a bolt is drawn by the standard update with no model of its own (it flies,
// hits and is heard, but is not seen).
#include "ai/weapons.h"
#include "present/scene.h"

void dunBoltPresentation(SceneItem *bolt) { P3DUpdatePresentation(bolt); }

void *dunBoltModel(int, int) { return nullptr; }

void dunAddBoltTrail(SceneItem *, int) {}
