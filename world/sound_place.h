// Positional sound of the world's objects: an object's place and motion seen
// from the player camera ("CamPly") turned into the volume, pan and frequency
// of its sound slot.
#pragma once

#include <cstdint>

#include "platform/sound.h"

struct SceneItem;

// Volume and pan of an object seen from the player camera ("CamPly"); returns
// the distance: 0 with no camera or object, 1e11 for an object in another
// star system than the player ship's.
double SoundPositionFromCamera(SceneItem *object, int32_t *volume, int32_t *pan);
// The same, also handing back the camera-space unit direction.
double SoundPositionFromCameraAlt(SceneItem *object, int32_t *volume, int32_t *pan, Vec3 *direction);
// The Doppler-shifted frequency of an object's sound; left as it was for an
// object in another star system or with no camera.
void SoundParamsForObject(SceneItem *object, int32_t *frequency, float scale);
