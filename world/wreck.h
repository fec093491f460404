// Wreck break-up: parts of a destroyed object cut into flying pieces.
#pragma once

#include <cstdint>

struct SceneItem;
struct TDP;

// The nearest part broken into a debris object of pieces; the debris
// object, or null.
SceneItem *dunBreakNearest(SceneItem *item, TDP *part, int pieces, float x, float y, float z, float exponent);
SceneItem *dunBreakNearestIntoSceneItems(SceneItem *item, TDP *part, int pieces, float x, float y, float z,
                                         float exponent, uint8_t planar, uint8_t explode);
// The whole object broken into a wreck object (an unseen destruction); the
// wreck, or null.
SceneItem *dunBreakIntoWreck(SceneItem *item);
